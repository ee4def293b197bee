# Cross-compiles for 64-bit Windows with Debian's mingw-w64: the tests' build for machines
# whose kernel runs no 32-bit programs, and with them no 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LUMIVANE_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
