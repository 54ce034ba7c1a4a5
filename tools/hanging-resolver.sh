#!/usr/bin/env bash
# Runs a command with a name resolver that never answers: a private mount namespace whose
# /etc/resolv.conf names a loopback DNS server that takes every query and answers none. This is how a
# test meets a host name that never resolves (a dead or filtered DNS server) on a machine whose own
# resolver fails at once. The command sees LUMAVEX_HANGING_RESOLVER=1 when that could be arranged (it
# needs root for the namespace and port 53); otherwise it runs as it is, without the variable.
#   tools/hanging-resolver.sh <command> [args...]
set -uo pipefail
[ $# -gt 0 ] || { echo "usage: $0 <command> [args...]" >&2; exit 2; }

if [ "$(id -u)" != 0 ] || ! unshare -m true 2>/dev/null; then
  echo "hanging-resolver: no private mount namespace here; running without it" >&2
  exec "$@"
fi

work=$(mktemp -d)
# Any 127/8 address is the loopback on Linux: one per run keeps parallel runs apart.
address="127.0.$(( $$ % 250 + 1 )).53"
printf 'nameserver %s\noptions timeout:30 attempts:5\n' "$address" > "$work/resolv.conf"
/usr/bin/python3 - "$address" "$work/ready" <<'PY' &
import socket, sys
sink = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
sink.bind((sys.argv[1], 53))
open(sys.argv[2], "w").close()
while True:
    sink.recvfrom(4096)  # taken, never answered
PY
sink=$!
trap 'kill $sink 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -e "$work/ready" ] && break; sleep 0.1; done
if [ ! -e "$work/ready" ]; then
  echo "hanging-resolver: the loopback DNS sink did not start; running without it" >&2
  "$@"
  exit $?
fi
LUMAVEX_HANGING_RESOLVER=1 unshare -m /bin/sh -c 'mount --bind "$0" /etc/resolv.conf && exec "$@"' \
  "$work/resolv.conf" "$@"
