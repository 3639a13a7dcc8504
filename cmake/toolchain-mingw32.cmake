# Cross build for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686). Its programs
# run here under Debian's 32-bit Wine (wine32, i386 packages), on a kernel that runs 32-bit code.
set(TESSLE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
