#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the tray program under Wine with a virtual
# display. Extra arguments go to Lumavex.exe (for example --open_setting). Where this host cannot run
# 32-bit programs, the x86_64 build of the same sources runs (tools/build-env.sh).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/build-env.sh"
bash "$top/tools/build.sh"
cd "$top"
source tools/build-env.sh
run=(tools/wine-run.sh --build "$test_build")
if [ -f "$test_build/bin/Lumavex.exe" ]; then
  echo "run: starting $test_build/bin/Lumavex.exe ($test_arch) under Wine (log: the prefix's Temp\\lumavex\\lumavex.log)"
  exec "${run[@]}" "$test_build/bin/Lumavex.exe" "$@"
fi
echo "run: the tray program is not built yet; built so far:"
find "$build_root/bin" "$build_root/loopback" "$test_build/bin" -maxdepth 1 \( -name '*.exe' -o -name '*.dll' \) 2>/dev/null \
  | sort -u | sed 's/^/  /'
echo "run: loading $test_build/bin/Kestrin.dll ($test_arch) under Wine as an installer would (tests/setup_helper/kestrin_host):"
"${run[@]}" --headless "$test_build/tests/kestrin_host.exe" "$test_build/bin/Kestrin.dll" id notify free | tr -d '\r' | sed 's/^/  /'
