# Cross compiling Setup.exe: 32-bit Windows, posix threads, no runtime DLLs.
set(SETUP_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
