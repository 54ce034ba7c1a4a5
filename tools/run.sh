#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the tray program under Wine with a virtual
# display. Extra arguments go to Lumavex.exe (for example --open_setting).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$top/tools/build.sh"
cd "$top"
if [ -f build/bin/Lumavex.exe ]; then
  echo "run: starting build/bin/Lumavex.exe under Wine (log: the prefix's Temp\\lumavex\\lumavex.log)"
  exec tools/wine-run.sh build/bin/Lumavex.exe "$@"
fi
echo "run: the tray program is not built yet; built so far:"
find build/bin build/loopback -maxdepth 1 \( -name '*.exe' -o -name '*.dll' \) 2>/dev/null | sort | sed 's/^/  /'
echo "run: loading build/bin/Kestrin.dll under Wine as an installer would (tests/setup_helper/kestrin_host):"
tools/wine-run.sh --headless build/tests/kestrin_host.exe build/bin/Kestrin.dll id notify free | tr -d '\r' | sed 's/^/  /'
