# Cross toolchain for the test build on hosts that cannot run 32-bit programs: the same sources as
# 64-bit Windows code, run under 64-bit Wine. Nothing built with it ships.
set(LUMAVEX_ARCH x86_64)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake")
