# Cross-compiles for 32-bit Windows, the program's platform, with Debian's mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LUMIVANE_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
