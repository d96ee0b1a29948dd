# Fails when the program imports a DLL that Windows may load from the program's own
# folder: only known DLLs, which always come from the system folder, and the common
# controls, which the manifest takes from the system's side-by-side store, may be
# imported. (Wine loads its own DLLs whatever lies beside the program, so only the
# import table can show this.)  cmake -DOBJDUMP=... -DPROGRAM=... -P CheckImports.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} could not read ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
set(allowed advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll
    user32.dll)
list(LENGTH imports count)
if(count EQUAL 0)
    message(FATAL_ERROR "no imports found in ${PROGRAM}")
endif()
foreach(import IN LISTS imports)
    string(REPLACE "DLL Name: " "" name "${import}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" name)
    if(NOT name IN_LIST allowed)
        message(FATAL_ERROR "${PROGRAM} imports ${name}, which Windows may load from its folder")
    endif()
endforeach()
message(STATUS "imports: ${imports}")
