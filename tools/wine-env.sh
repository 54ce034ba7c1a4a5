# Sourced: the Wine environment of one build folder. Usage: source tools/wine-env.sh <build-dir>
# Sets WINEPREFIX and friends, and LUMAVEX_WINE / LUMAVEX_WINESERVER, the loader and server that fit
# the build's architecture (the file lumavex-arch that CMake writes into the build folder).
# Debian's `wine` script always takes the 32-bit loader when wine32 is installed, so a 64-bit build
# calls the 64-bit loader and server by their own paths, in a win64 prefix.
_lumavex_build=$(cd "${1:?build folder}" && pwd)
export WINEPREFIX="$_lumavex_build/wineprefix"
export WINEDEBUG=-all
# No Mono installer prompt; everything else (mshtml among it) stays as Wine registers it.
export WINEDLLOVERRIDES="mscoree="
if [ "$(cat "$_lumavex_build/lumavex-arch" 2>/dev/null)" = x86_64 ]; then
  export WINEARCH=win64
  export WINELOADER=/usr/lib/wine/wine64
  export WINESERVER=/usr/lib/wine/wineserver64
  LUMAVEX_WINE=$WINELOADER
  LUMAVEX_WINESERVER=$WINESERVER
else
  export WINEARCH=win32
  unset WINELOADER WINESERVER
  LUMAVEX_WINE=wine
  LUMAVEX_WINESERVER=wineserver
fi
unset _lumavex_build
