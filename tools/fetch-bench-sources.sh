#!/usr/bin/env bash
# Fetches the sources that benchmark programs compare against (never committed, never shipped):
# Debian's pugixml source package, unpacked under <build>/deps/src. bench/CMakeLists.txt builds the XML
# benchmark only when they are present.
#   tools/fetch-bench-sources.sh [build-dir]
set -euo pipefail
build=${1:-build}
dest="$build/deps/src"
mkdir -p "$dest"
cd "$dest"
if ls -d pugixml-*/src/pugixml.cpp >/dev/null 2>&1; then
  echo "fetch-bench-sources: pugixml already in $(pwd)"
  exit 0
fi
# The source package is unpacked only; nothing is built or installed here. apt has checked the files
# against the archive's signed index, so the unsigned-key check of the .dsc is skipped.
apt-get source --download-only pugixml
dpkg-source --no-check -x pugixml_*.dsc
ls -d "$(pwd)"/pugixml-*/src/pugixml.cpp
