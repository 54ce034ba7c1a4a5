#!/usr/bin/env bash
# Prints the architecture whose build the tests run on this host: i686 where the host can execute
# 32-bit programs (the shipping build under 32-bit Wine), else x86_64 (the same sources built for
# 64-bit Windows, under 64-bit Wine). LUMAVEX_TEST_ARCH=i686|x86_64 forces the choice.
# The probe is the 32-bit Wine loader itself: a host without 32-bit support refuses to execute it.
set -euo pipefail
case "${LUMAVEX_TEST_ARCH:-}" in
  i686|x86_64) echo "$LUMAVEX_TEST_ARCH"; exit 0 ;;
  "") ;;
  *) echo "test-arch: LUMAVEX_TEST_ARCH must be i686 or x86_64, not '$LUMAVEX_TEST_ARCH'" >&2; exit 2 ;;
esac
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo i686
else
  echo x86_64
fi
