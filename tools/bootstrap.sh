#!/usr/bin/env bash
# Brings a fresh Debian 12 machine to a state where Lumavex builds and its tests run.
# Idempotent: every step checks first, so a second run takes seconds.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps="${LUMAVEX_DEPS:-$here/build/deps}"

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

packages=(
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix
  wine wine32 wine64 xvfb xauth cmake make dpkg-dev
  python3 python3-cryptography
  libspdlog-dev libfmt-dev nlohmann-json3-dev libcxxopts-dev libstb-dev
  libz-mingw-w64-dev googletest zip
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
  need_update=1
fi
# Debian's zlib source carries minizip; apt-get source needs a deb-src entry.
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  # deb822 form with the same keyring as the main entry, so apt sees no conflicting Signed-By.
  printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' 'Components: main' \
    'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' | as_root tee /etc/apt/sources.list.d/lumavex-src.sources >/dev/null
  need_update=1
fi
if [ ${#missing[@]} -gt 0 ] || [ $need_update = 1 ] || [ ! -f "$deps/minizip/lib/libminizip.a" ]; then
  as_root apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

CC=i686-w64-mingw32-gcc-posix
CXX=i686-w64-mingw32-g++-posix
mkdir -p "$deps"

# Header-only libraries, staged so the host's /usr/include never reaches the cross compiler.
inc="$deps/include"
mkdir -p "$inc"
for d in spdlog fmt nlohmann cxxopts.hpp; do
  [ -e "$inc/$d" ] || ln -s "/usr/include/$d" "$inc/$d"
done
[ -e "$inc/stb" ] || ln -s /usr/include/stb "$inc/stb"

# minizip's unzip layer from Debian's zlib source, compiled for the target.
if [ ! -f "$deps/minizip/lib/libminizip.a" ]; then
  src="$deps/src"
  rm -rf "$src" && mkdir -p "$src"
  (cd "$src" && apt-get source -qq --download-only zlib >/dev/null 2>&1 && dpkg-source -x --no-check zlib_*.dsc zlib >/dev/null)
  mz="$src/zlib/contrib/minizip"
  out="$deps/minizip"
  mkdir -p "$out/lib" "$out/include/minizip" "$out/obj"
  for f in ioapi unzip iowin32; do
    $CC -O2 -DNOCRYPT -DNOUNCRYPT -I/usr/i686-w64-mingw32/include -c "$mz/$f.c" -o "$out/obj/$f.o"
    cp "$mz/$f.h" "$out/include/minizip/"
  done
  i686-w64-mingw32-ar rcs "$out/lib/libminizip.a" "$out"/obj/*.o
  rm -rf "$src"
fi

# GoogleTest from Debian's sources, cross-compiled.
if [ ! -f "$deps/gtest/lib/libgtest.a" ]; then
  rm -rf "$deps/gtest-build"
  cmake -S /usr/src/googletest -B "$deps/gtest-build" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/gtest" -Dgtest_disable_pthreads=OFF \
    -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON >/dev/null
  cmake --build "$deps/gtest-build" -j"$(nproc)" >/dev/null
  cmake --install "$deps/gtest-build" >/dev/null
  rm -rf "$deps/gtest-build"
fi
echo "bootstrap: ready ($deps)"
