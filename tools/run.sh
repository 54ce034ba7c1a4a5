#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the tray program under Wine: on the caller's
# display when DISPLAY is set, otherwise on a virtual one (xvfb-run). Extra arguments go to Lumavex.exe
# (--open_setting opens the settings window at start-up, --show_balloon shows the tray balloon tip).
# Where this host cannot run 32-bit programs, the x86_64 build of the same sources runs
# (tools/build-env.sh). The program runs in the foreground until it quits.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/build-env.sh"
bash "$top/tools/build.sh"
cd "$top"
source tools/build-env.sh
program="$test_build/bin/Lumavex.exe"
if [ ! -f "$program" ]; then
  echo "run: $program was not built" >&2
  exit 1
fi
if [ -n "${DISPLAY:-}" ]; then
  where="on the display $DISPLAY"
  # tools/wine-session.sh then starts no virtual display of its own.
  export LUMAVEX_IN_XVFB=1
else
  where="on a virtual display (xvfb-run: nothing of it can be seen)"
fi
log="$test_build/wineprefix/drive_c/users/$(id -un)/Temp/lumavex/lumavex.log"
cat <<EOF_INFO
run: starting $program ($test_arch) under Wine $where
run:   its log: $log
run:   the settings window: click the tray icon, or start the program with it open:
run:     bash tools/run.sh --open_setting
run:   to stop it: the second item of the tray icon's right-click menu, or Ctrl+C here, which ends the
run:   program's Wine session
EOF_INFO
source tools/wine-env.sh "$test_build"
# A Wine GUI program takes no notice of SIGINT: Ctrl+C ends the prefix's Wine processes instead, and
# the session then cleans up behind them (its virtual display among it).
trap '"$LUMAVEX_WINESERVER" -k >/dev/null 2>&1 || true' INT TERM
tools/wine-run.sh --build "$test_build" "$program" "$@" &
session=$!
status=0
while true; do
  # A signal ends the wait early; wait again until the session has ended.
  if wait "$session"; then status=0; else status=$?; fi
  kill -0 "$session" 2>/dev/null || break
done
exit "$status"
