# The same sources as 64-bit Windows programs, for running the Windows tests under 64-bit Wine where
# the kernel cannot start Wine's 32-bit half. The programs that ship are the 32-bit ones.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
