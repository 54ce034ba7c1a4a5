# Cross toolchain: 32-bit Windows, what ships.
set(LUMAVEX_ARCH i686)
set(CMAKE_SYSTEM_PROCESSOR x86)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake")
