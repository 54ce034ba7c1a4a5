#!/usr/bin/env bash
# Runs one built program under the project's Wine prefix, with a virtual display unless --headless.
#   tools/wine-run.sh [--headless] [--build <dir>] <program> [args...]
# Without --build, the program runs in the build this host runs (tools/build-env.sh: build/ where 32-bit
# programs run, else build/x86_64); give a program of that build.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mode=()
build=
while [ $# -gt 0 ]; do
  case "$1" in
    --headless) mode=(--headless); shift ;;
    --build) build=$2; shift 2 ;;
    *) break ;;
  esac
done
if [ -z "$build" ]; then
  source "$here/build-env.sh"
  build=$test_build
fi
exec "$here/wine-session.sh" "${mode[@]}" "$build" "$here/wine-exec.sh" "$build" "$@"
