#!/usr/bin/env bash
# On demand, never in CI: the shipping 32-bit files (build/bin) started under the 32-bit Wine loader,
# which runs natively or through user-mode emulation (README: "The shipping files on a 64-bit-only
# host"). Each step is timed:
#   Lumavex.exe         starts, shows its tray icon and quits from its tray menu;
#   LumavexService.dll  registers, runs in the service host, stops and unregisters;
#   Kestrin.dll         is loaded and every export called, the stack checked after each call.
# The steps are i686 test programs built in <build>/smoke, which also keeps the one Wine prefix that
# every run reuses: win32 where the host runs 32-bit programs itself, win64 under emulation, where a
# win32 prefix does not boot. Everything runs on a virtual display (xvfb-run).
#   tools/smoke-shipping.sh
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/build-env.sh"
smoke=$build_root/smoke
shipping=$build_root/bin
loader=/usr/lib/wine/wine
# Each step's limit. Under emulation a passing step takes a minute or two.
step_limit=900

if [ "${LUMAVEX_IN_XVFB:-}" != 1 ]; then
  if ! "$loader" --version >/dev/null 2>&1; then
    echo "smoke: the 32-bit Wine loader ($loader) does not run on this host: install wine32, or where the" \
      "kernel runs no 32-bit programs, enable user-mode emulation (see the README)" >&2
    exit 1
  fi
  cd "$top"
  if [ -f "$build_root/CMakeCache.txt" ]; then
    cmake --build "$build_root" -j"${LUMAVEX_JOBS:-$(nproc)}" --target Lumavex LumavexService Kestrin
  else
    bash tools/build.sh
  fi
  options=(-DCMAKE_BUILD_TYPE=Release)
  [ -z "${LUMAVEX_LOOPBACK_PORT:-}" ] || options+=(-DLUMAVEX_LOOPBACK_PORT="$LUMAVEX_LOOPBACK_PORT")
  [ -z "${LUMAVEX_DEPS:-}" ] || options+=(-DLUMAVEX_DEPS="$LUMAVEX_DEPS")
  cmake --no-warn-unused-cli -S . -B "$smoke" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DLUMAVEX_BUILD_TESTS=ON "${options[@]}" >/dev/null
  cmake --build "$smoke" -j"${LUMAVEX_JOBS:-$(nproc)}" \
    --target lumavex_shipping_smoke service_shipping_smoke setup_helper_kestrin_stdcall_test
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" env LUMAVEX_IN_XVFB=1 "$here/smoke-shipping.sh"
fi

now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }

# The prefix is booted by the loader of its own width: the 64-bit one boots a win64 prefix natively
# and starts only its 32-bit half under emulation.
if emulator=$(bash "$here/test-arch.sh" --emulator); then
  how="through $emulator"
  export WINEARCH=win64
  boot_loader=/usr/lib/wine/wine64
else
  emulator=
  how=natively
  export WINEARCH=win32
  boot_loader=$loader
fi
export WINEPREFIX=$smoke/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree="
# One 64-bit server for both kinds of prefix. Without WINELOADER, a process that starts a program of
# the other width finds that width's loader beside its own.
export WINESERVER=/usr/lib/wine/wineserver64
unset WINELOADER
# The test programs find the files under test here.
export LUMAVEX_SHIPPING_BIN="Z:${shipping//\//\\}"
logs=$smoke/logs
mkdir -p "$logs"
rm -f "$logs"/*.log

"$WINESERVER" -k >/dev/null 2>&1 || true
"$WINESERVER" -w >/dev/null 2>&1 || true
trap '"$WINESERVER" -k >/dev/null 2>&1 || true; "$WINESERVER" -w >/dev/null 2>&1 || true' EXIT

report=()
failed=0
# step <name> <command...>: runs the command with its output in the step's log, and notes the time.
step() {
  local name=$1 start outcome
  shift
  start=$(now)
  if timeout "$step_limit" "$@" >"$logs/$name.log" 2>&1 </dev/null; then
    outcome=passed
  elif [ -n "$emulator" ] && grep -q '^\[  PASSED  \]' "$logs/$name.log" &&
    grep -q '^qemu: uncaught target signal' "$logs/$name.log"; then
    # Every check held; the emulator then crashed while the process was being torn down.
    outcome="passed (qemu crashed at process exit)"
  else
    outcome="FAILED, see $logs/$name.log"
    failed=1
  fi
  report+=("$(printf '%-20s %8s s  %s' "$name" "$(seconds_since "$start")" "$outcome")")
}

echo "smoke: the i686 files of $shipping, the 32-bit Wine loader $how, a $WINEARCH prefix"
start=$(now)
if [ "$(cat "$WINEPREFIX/.lumavex-ready" 2>/dev/null)" != "$WINEARCH" ]; then
  echo "smoke: creating the Wine prefix $WINEPREFIX (several minutes under emulation)"
  rm -rf "$WINEPREFIX"
  # Ready once the boot's last process has ended, and the server with it: a fresh server for the
  # session, as the one left from the boot does not answer for every service.
  step "prefix (new)" bash -c '"$1" wineboot -i && "$WINESERVER" -w' boot "$boot_loader"
  [ $failed = 0 ] || { printf 'smoke: %s\n' "${report[@]}"; exit 1; }
  echo "$WINEARCH" >"$WINEPREFIX/.lumavex-ready"
else
  report+=("$(printf '%-20s %8s s  %s' "prefix (reused)" "$(seconds_since "$start")" "ready")")
fi
"$WINESERVER" -p >/dev/null 2>&1 </dev/null
# The first process of a session starts the prefix's services.
step "first program" "$loader" cmd /c exit
step Lumavex.exe "$loader" "$smoke/tests/lumavex_shipping_smoke.exe"
step LumavexService.dll "$loader" "$smoke/tests/service_shipping_smoke.exe"
step Kestrin.dll "$loader" "$smoke/tests/setup_helper_kestrin_stdcall_test.exe"

printf 'smoke: %s\n' "${report[@]}"
exit $failed
