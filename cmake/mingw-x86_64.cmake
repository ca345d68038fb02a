# The same program for 64-bit Windows. Only for running the Windows tests under Wine
# on hosts whose kernel cannot execute 32-bit programs (Wine's 32-bit loader is one);
# the platform layer then acts as the 32-bit program would (32-bit registry view,
# Program Files (x86)).
set(SETUP_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
