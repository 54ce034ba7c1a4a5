#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the tray program under Wine with a virtual
# display. Extra arguments go to Lumavex.exe (for example --open_setting).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
bash tools/bootstrap.sh
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
if [ -f build/bin/Lumavex.exe ]; then
  echo "run: starting build/bin/Lumavex.exe under Wine (log: the prefix's Temp\\lumavex\\lumavex.log)"
  exec tools/wine-run.sh build/bin/Lumavex.exe "$@"
fi
echo "run: the tray program is not built yet; built so far:"
find build/bin build/loopback build/tests -maxdepth 1 \( -name '*.exe' -o -name '*.dll' \) 2>/dev/null | sort | sed 's/^/  /'
