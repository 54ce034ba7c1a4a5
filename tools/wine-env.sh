# Sourced: the Wine environment of one build folder. Usage: source tools/wine-env.sh <build-dir>
_lumavex_build=$(cd "${1:?build folder}" && pwd)
export WINEPREFIX="$_lumavex_build/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono installer prompt; everything else (mshtml among it) stays as Wine registers it.
export WINEDLLOVERRIDES="mscoree="
unset _lumavex_build
