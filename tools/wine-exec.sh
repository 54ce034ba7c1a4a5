#!/usr/bin/env bash
# ctest's emulator: runs one Windows program in the build's Wine prefix, inside the session that
# tools/wine-session.sh keeps up. Usage: wine-exec.sh <build-dir> <program> [args...]
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/wine-env.sh" "$1"
shift
exec "$LUMAVEX_WINE" "$@"
