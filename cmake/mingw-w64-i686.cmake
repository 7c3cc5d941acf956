# Cross-builds the native 32-bit Windows programs with Debian's mingw-w64 and runs them under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
