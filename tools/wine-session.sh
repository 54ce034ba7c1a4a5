#!/usr/bin/env bash
# Runs a command inside one Wine session of a build's private prefix: one Xvfb for the whole command
# (unless --headless), the prefix booted once, and a persistent wineserver that is stopped at the end,
# also on failure.
#   tools/wine-session.sh [--headless] <build-dir> <command> [args...]
# A wineserver binds to the display of its first process, so a session never mixes the two modes:
# whatever still runs in the prefix is stopped first.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

headless=0
if [ "${1:-}" = "--headless" ]; then headless=1; shift; fi
build=$(cd "${1:?build folder}" && pwd)
shift

if [ $headless = 0 ] && [ "${LUMAVEX_IN_XVFB:-}" != 1 ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" env LUMAVEX_IN_XVFB=1 LUMAVEX_OWN_XVFB=1 \
    "$here/wine-session.sh" "$build" "$@"
fi
if [ $headless = 1 ]; then unset DISPLAY; fi

source "$here/wine-env.sh" "$build"
"$LUMAVEX_WINESERVER" -k >/dev/null 2>&1 || true
"$LUMAVEX_WINESERVER" -w >/dev/null 2>&1 || true

if [ ! -f "$WINEPREFIX/.lumavex-ready" ]; then
  echo "wine-session: creating the Wine prefix $WINEPREFIX" >&2
  rm -rf "$WINEPREFIX"
  if ! "$LUMAVEX_WINE" wineboot -i >"$build/wineboot.log" 2>&1 </dev/null; then
    echo "wine-session: booting the prefix failed ($WINEARCH):" >&2
    cat "$build/wineboot.log" >&2
    exit 1
  fi
  # The Task Scheduler does not answer through the wineserver left over from the boot: end it.
  "$LUMAVEX_WINESERVER" -w
  touch "$WINEPREFIX/.lumavex-ready"
fi

# The skins ask for the face "微软雅黑", which Wine lacks: name the CJK font that tools/bootstrap.sh
# installs in its place, or Chinese text is drawn with a fallback's glyphs. The file is UTF-16, so the
# face's name reaches the registry whatever the locale of this shell (`wine reg add` converts its
# arguments through it, and under the C locale the name would arrive mangled).
if [ ! -f "$WINEPREFIX/.lumavex-fonts" ]; then
  fonts_reg="$WINEPREFIX/lumavex-fonts.reg"
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"微软雅黑"="WenQuanYi Micro Hei"' '"Microsoft YaHei"="WenQuanYi Micro Hei"' '' |
    iconv -f UTF-8 -t UTF-16 >"$fonts_reg"
  if ! "$LUMAVEX_WINE" regedit /S "Z:${fonts_reg//\//\\}" >/dev/null 2>&1 </dev/null; then
    echo "wine-session: the font replacement could not be written" >&2
    exit 1
  fi
  "$LUMAVEX_WINESERVER" -w
  touch "$WINEPREFIX/.lumavex-fonts"
fi

# Wine's X11 driver waits up to 2 s for a window manager to acknowledge each map and unmap of a window
# it leaves to the manager (one with a taskbar button, such as the settings window). The virtual
# display has no window manager, so every show and hide held the program's window thread for 2 s:
# there Wine places the windows itself. A display of the caller's keeps its window manager.
if [ $headless = 0 ]; then
  managed=Y
  [ "${LUMAVEX_OWN_XVFB:-}" = 1 ] && managed=N
  if [ "$(cat "$WINEPREFIX/.lumavex-managed" 2>/dev/null)" != $managed ]; then
    if ! "$LUMAVEX_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d $managed /f >/dev/null 2>&1 </dev/null; then
      echo "wine-session: the window management setting could not be written" >&2
      exit 1
    fi
    "$LUMAVEX_WINESERVER" -w
    echo $managed >"$WINEPREFIX/.lumavex-managed"
  fi
fi

trap '"$LUMAVEX_WINESERVER" -k >/dev/null 2>&1 || true; "$LUMAVEX_WINESERVER" -w >/dev/null 2>&1 || true' EXIT
"$LUMAVEX_WINESERVER" -p >/dev/null 2>&1 </dev/null
# The first process of a session starts the prefix's services, which keep its output open: let a
# throwaway process take that role so that test runners reading pipes are not held up.
"$LUMAVEX_WINE" cmd /c exit >/dev/null 2>&1 </dev/null || true
"$@"
