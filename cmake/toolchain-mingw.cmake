# Shared by the MinGW-w64 toolchain files, which set TESSLE_MINGW_ARCH first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TESSLE_MINGW_ARCH})

# The "-posix" compilers: Debian's default "-win32" thread model has no std::mutex, which
# GoogleTest needs.
set(CMAKE_C_COMPILER ${TESSLE_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSLE_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${TESSLE_MINGW_ARCH}-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TESSLE_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in, winpthread included: the programs run with no MinGW DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest and gtest_discover_tests start the programs through Wine, in a prefix of this build
# tree's own, so that registry writes never reach anyone's real Wine setup. The 32-bit programs
# get a 32-bit prefix and Wine's 32-bit loader.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
if(TESSLE_MINGW_ARCH STREQUAL "i686")
  list(APPEND CMAKE_CROSSCOMPILING_EMULATOR --win32)
endif()
list(APPEND CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-prefix)
