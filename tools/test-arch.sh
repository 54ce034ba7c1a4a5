#!/usr/bin/env bash
# Prints the architecture whose build the tests run on this host: i686 where the host executes 32-bit
# programs itself (the shipping build under 32-bit Wine), else x86_64 (the same sources built for
# 64-bit Windows, under 64-bit Wine). LUMAVEX_TEST_ARCH=i686|x86_64 forces the choice.
# The probe is the 32-bit Wine loader itself: a host without 32-bit support refuses to execute it.
# A host that runs i386 ELF files only through user-mode emulation (an enabled binfmt_misc entry, as
# qemu-user-static makes) starts the loader too, yet a win32 prefix does not boot there: it counts as
# 64-bit only. `test-arch.sh --emulator` prints that entry's interpreter, and fails where there is none.
set -euo pipefail

# The interpreter of an enabled binfmt_misc entry that takes 32-bit x86 ELF files. Such an entry wins
# over the kernel's own ELF loader, so it decides how the 32-bit loader runs whatever the kernel can do.
i386_emulator() {
  local dir=/proc/sys/fs/binfmt_misc entry magic
  [ "$(cat "$dir/status" 2>/dev/null)" = enabled ] || return 1
  for entry in "$dir"/*; do
    case "${entry##*/}" in register|status) continue ;; esac
    [ "$(head -n 1 "$entry" 2>/dev/null)" = enabled ] || continue
    grep -qx 'offset 0' "$entry" || continue
    magic=$(sed -n 's/^magic //p' "$entry")
    # "\x7fELF", class 1 (32-bit), and e_machine 3 (EM_386) at byte 18, little-endian.
    [[ $magic == 7f454c4601* && ${magic:36:4} == 0300 ]] || continue
    sed -n 's/^interpreter //p' "$entry"
    return 0
  done
  return 1
}

if [ "${1:-}" = --emulator ]; then
  i386_emulator
  exit
fi

case "${LUMAVEX_TEST_ARCH:-}" in
  i686|x86_64) echo "$LUMAVEX_TEST_ARCH"; exit 0 ;;
  "") ;;
  *) echo "test-arch: LUMAVEX_TEST_ARCH must be i686 or x86_64, not '$LUMAVEX_TEST_ARCH'" >&2; exit 2 ;;
esac
if ! i386_emulator >/dev/null && [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo i686
else
  echo x86_64
fi
