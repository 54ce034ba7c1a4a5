# The MinGW-w64 cross toolchain with the posix thread model (std::thread, std::mutex), for the
# architecture that the including toolchain file names in LUMAVEX_ARCH (i686 or x86_64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${LUMAVEX_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMAVEX_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${LUMAVEX_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LUMAVEX_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
