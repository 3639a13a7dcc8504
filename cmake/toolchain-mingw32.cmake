# Cross build for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686). Its programs
# need a 32-bit Wine, and a kernel that runs 32-bit code, to run here.
set(TESSLE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
