#!/usr/bin/env bash
# Installs what is missing and builds everything: the i686 deliverables (shipping and loopback) with
# their tests in build/, and, where the host cannot run 32-bit programs (tools/test-arch.sh), an x86_64
# build of the same sources with its tests in build/x86_64, which runs there instead. The i686 tests are
# compiled on every host, so that a test which only compiles for one architecture is caught anywhere.
# LUMAVEX_BUILD picks another build folder, LUMAVEX_LOOPBACK_PORT another port for its test servers.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/build-env.sh"
cd "$top"
bash tools/bootstrap.sh
# The probe needs the 32-bit Wine loader, which the bootstrap has just installed.
source tools/build-env.sh
[ "$test_arch" = i686 ] || bash tools/bootstrap.sh "$test_arch"

options=(-DCMAKE_BUILD_TYPE=Release)
[ -z "${LUMAVEX_LOOPBACK_PORT:-}" ] || options+=(-DLUMAVEX_LOOPBACK_PORT="$LUMAVEX_LOOPBACK_PORT")
[ -z "${LUMAVEX_DEPS:-}" ] || options+=(-DLUMAVEX_DEPS="$LUMAVEX_DEPS")
jobs=${LUMAVEX_JOBS:-$(nproc)}

cmake -S . -B "$build_root" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DLUMAVEX_BUILD_TESTS=ON \
  "${options[@]}" >/dev/null
cmake --build "$build_root" -j"$jobs"
if [ "$test_arch" != i686 ]; then
  cmake -S . -B "$test_build" -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$test_arch.cmake" -DLUMAVEX_BUILD_TESTS=ON \
    "${options[@]}" >/dev/null
  cmake --build "$test_build" -j"$jobs"
fi

# What ships is 32-bit x86 whatever the host.
for f in "$build_root"/bin/*.exe "$build_root"/bin/*.dll; do
  [ -e "$f" ] || continue
  i686-w64-mingw32-objdump -f "$f" | grep -q 'file format pei-i386' || { echo "build: $f is not PE32 i686" >&2; exit 1; }
done
