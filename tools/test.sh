#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
# Extra arguments go to ctest (for example -L headless).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$top/tools/build.sh"
cd "$top"
tools/wine-session.sh build ctest --test-dir build --output-on-failure -j"$(nproc)" "$@"
