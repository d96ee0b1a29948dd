# Run when the program is installed or packed: signs the installed Voldix.exe
# (Authenticode, SHA-256) with Debian's osslsigncode when VOLDIX_SIGN_CERT and
# VOLDIX_SIGN_KEY name the maker's code-signing certificate and its key (PEM files);
# VOLDIX_SIGN_TIMESTAMP may name an RFC 3161 time-stamp server. Without them the
# program stays unsigned.
set(program "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/Voldix.exe")
set(certificate "$ENV{VOLDIX_SIGN_CERT}")
set(key "$ENV{VOLDIX_SIGN_KEY}")
if(certificate STREQUAL "" AND key STREQUAL "")
    message(STATUS "Voldix.exe is not signed (VOLDIX_SIGN_CERT and VOLDIX_SIGN_KEY are not set)")
    return()
endif()
if(certificate STREQUAL "" OR key STREQUAL "")
    message(FATAL_ERROR "Signing needs both VOLDIX_SIGN_CERT and VOLDIX_SIGN_KEY")
endif()
find_program(OSSLSIGNCODE osslsigncode)
if(NOT OSSLSIGNCODE)
    message(FATAL_ERROR "Signing needs osslsigncode (apt-get install osslsigncode)")
endif()
set(arguments sign -h sha256 -certs "${certificate}" -key "${key}" -n Voldix)
if(NOT "$ENV{VOLDIX_SIGN_TIMESTAMP}" STREQUAL "")
    list(APPEND arguments -ts "$ENV{VOLDIX_SIGN_TIMESTAMP}")
endif()
file(REMOVE "${program}.signed")
execute_process(COMMAND ${OSSLSIGNCODE} ${arguments} -in "${program}" -out "${program}.signed"
    RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(failed)
    file(REMOVE "${program}.signed")
    message(FATAL_ERROR "osslsigncode could not sign Voldix.exe:\n${output}")
endif()
file(RENAME "${program}.signed" "${program}")
message(STATUS "Voldix.exe signed with ${certificate}")
