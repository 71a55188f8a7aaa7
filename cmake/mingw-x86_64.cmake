# Cross-compiles a 64-bit Windows build with mingw-w64, for running the host tests under
# a 64-bit Wine where 32-bit programs cannot run.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
