# 32-bit Windows: the architecture Voldix ships for.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VOLDIX_TRIPLE i686-w64-mingw32)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
