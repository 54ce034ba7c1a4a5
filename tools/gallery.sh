#!/usr/bin/env bash
# Builds the gallery (bench/gallery: every control family in its usual states), shows it under Wine
# and saves a screenshot of its window to build/gallery.png.
#   tools/gallery.sh [--wait <ms>]     how long the window animates before the picture (1500 ms)
# The window appears on $DISPLAY when there is one, else on a virtual display. It runs in the
# prefix of the build the tests use here (tools/build-env.sh), whose Wine session it restarts: do
# not run it while that build's tests run.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/build-env.sh"
wait_ms=1500
if [ "${1:-}" = "--wait" ]; then wait_ms=${2:?milliseconds}; fi

if [ -f "$test_build/CMakeCache.txt" ]; then
  cmake --build "$test_build" --target gallery -j"${LUMAVEX_JOBS:-$(nproc)}"
else
  bash "$here/build.sh"
fi

png="$build_root/gallery.png"
rm -f "$png"
# Wine's drive Z: is the Unix root.
windows_png="Z:${png//\//\\}"
if [ -n "${DISPLAY:-}" ]; then export LUMAVEX_IN_XVFB=1; fi
"$here/wine-session.sh" "$test_build" "$here/wine-exec.sh" "$test_build" \
  "$test_build/bench/gallery.exe" --screenshot "$windows_png" --wait "$wait_ms"
[ -s "$png" ] || { echo "gallery: no screenshot was saved" >&2; exit 1; }
echo "gallery: $png"
