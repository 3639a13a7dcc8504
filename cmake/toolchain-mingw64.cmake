# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64); the programs
# run here under Wine through cmake/wine-run.
set(TESSLE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
