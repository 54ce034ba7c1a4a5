#!/usr/bin/env bash
# Runs one built program under the project's Wine prefix, with a virtual display unless --headless.
#   tools/wine-run.sh [--headless] [--build <dir>] <program> [args...]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mode=()
build="$here/../build"
while [ $# -gt 0 ]; do
  case "$1" in
    --headless) mode=(--headless); shift ;;
    --build) build=$2; shift 2 ;;
    *) break ;;
  esac
done
exec "$here/wine-session.sh" "${mode[@]}" "$build" wine "$@"
