#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine: the i686 build under
# 32-bit Wine where the host can run 32-bit programs, else the x86_64 build of the same sources under
# 64-bit Wine (tools/test-arch.sh; LUMAVEX_TEST_ARCH=i686|x86_64 forces it).
# Extra arguments go to ctest (for example -L headless).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/build-env.sh"
cd "$top"
bash tools/build.sh
source tools/build-env.sh
if [ "$test_arch" = i686 ]; then
  echo "test: this host runs 32-bit programs: testing the i686 build ($test_build) under 32-bit Wine"
else
  echo "test: testing the $test_arch build ($test_build) under 64-bit Wine" \
    "(32-bit programs do not run here, or LUMAVEX_TEST_ARCH says so)"
fi
tools/wine-session.sh "$test_build" ctest --test-dir "$test_build" --output-on-failure -j"${LUMAVEX_JOBS:-$(nproc)}" "$@"
