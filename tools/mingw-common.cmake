# Cross build for Windows with MinGW-w64 (posix threads, static runtime); the tests
# run through Wine. VOLDIX_TRIPLE is set by the architecture's toolchain file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VOLDIX_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VOLDIX_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VOLDIX_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VOLDIX_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
