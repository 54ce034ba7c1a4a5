#!/usr/bin/env bash
# Brings a fresh Debian 12 machine to a state where Lumavex builds and its tests run.
# Idempotent: every step checks first, so a second run takes seconds.
#   tools/bootstrap.sh [arch...]     arch: i686 (always staged) and x86_64 (the test build on hosts
#                                    that cannot run 32-bit programs)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps="${LUMAVEX_DEPS:-$here/build/deps}"
arches=(i686 "$@")

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# Runs a step with its output in a log; on failure shows that log, so the cause is never hidden.
logged() {
  local what=$1 log
  shift
  log=$(mktemp)
  if ! "$@" >"$log" 2>&1; then
    echo "bootstrap: $what failed:" >&2
    cat "$log" >&2
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}

packages=(
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
  wine wine32 wine64 xvfb xauth cmake make dpkg-dev
  python3 python3-cryptography
  python3-pil fonts-wqy-microhei
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
need_minizip=0
for arch in "${arches[@]}"; do
  [ -f "$deps/$arch/minizip/lib/libminizip.a" ] || need_minizip=1
done
if [ ${#missing[@]} -gt 0 ] || [ $need_update = 1 ] || [ $need_minizip = 1 ]; then
  logged "apt-get update" as_root apt-get update
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  logged "installing ${missing[*]}" \
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

mkdir -p "$deps"

# Header-only libraries, staged so the host's /usr/include never reaches the cross compiler.
inc="$deps/include"
mkdir -p "$inc"
for d in spdlog fmt nlohmann cxxopts.hpp stb; do
  [ -e "$inc/$d" ] || ln -s "/usr/include/$d" "$inc/$d"
done

# minizip's unzip layer from Debian's zlib source, compiled for each target.
if [ $need_minizip = 1 ]; then
  src="$deps/src/zlib-source"
  rm -rf "$src" && mkdir -p "$src"
  (
    cd "$src"
    logged "fetching Debian's zlib source (apt-get source zlib)" apt-get source --download-only zlib
    logged "unpacking Debian's zlib source" dpkg-source -x --no-check zlib_*.dsc zlib
  )
  mz="$src/zlib/contrib/minizip"
  for arch in "${arches[@]}"; do
    out="$deps/$arch/minizip"
    [ -f "$out/lib/libminizip.a" ] && continue
    mkdir -p "$out/lib" "$out/include/minizip" "$out/obj"
    for f in ioapi unzip iowin32; do
      logged "compiling minizip's $f.c for $arch" \
        "$arch-w64-mingw32-gcc-posix" -O2 -DNOCRYPT -DNOUNCRYPT -I"/usr/$arch-w64-mingw32/include" \
        -c "$mz/$f.c" -o "$out/obj/$f.o"
      cp "$mz/$f.h" "$out/include/minizip/"
    done
    "$arch-w64-mingw32-ar" rcs "$out/lib/libminizip.a" "$out"/obj/*.o
  done
  rm -rf "$src"
fi

# GoogleTest from Debian's sources, cross-compiled for each target.
for arch in "${arches[@]}"; do
  out="$deps/$arch/gtest"
  [ -f "$out/lib/libgtest.a" ] && continue
  work="$deps/$arch/gtest-build"
  rm -rf "$work"
  logged "configuring GoogleTest for $arch" \
    cmake -S /usr/src/googletest -B "$work" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$out" -Dgtest_disable_pthreads=OFF \
    -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
  logged "building GoogleTest for $arch" cmake --build "$work" -j"$(nproc)"
  logged "installing GoogleTest for $arch" cmake --install "$work"
  rm -rf "$work"
done
echo "bootstrap: ready ($deps: ${arches[*]})"
