#!/usr/bin/env bash
# The update service's package download against curl: serves a 100 MB package from the loopback
# server, fetches it with curl and with service_download_bench.exe (the service's own download path,
# under Wine), best of a few runs each, and prints both times and their ratio. Run on demand, never in
# CI. The package is generated into the server's state folder and removed again.
#   tools/bench-service-download.sh [runs]
# LUMAVEX_BUILD and LUMAVEX_LOOPBACK_PORT as for the other tools (the port defaults to 18931).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/build-env.sh"
runs=${1:-3}
port=${LUMAVEX_LOOPBACK_PORT:-18931}
program=$test_build/bench/service_download_bench.exe
server=$top/tests/support/loopback_server.py
state=$test_build/bench/download_bench_server
package=$state/package.bin
url_path=/download/setup_9.9.9.9.exe
url=http://127.0.0.1:$port$url_path

if [ ! -f "$program" ]; then
  echo "bench-service-download: $program is not built (tools/build.sh)" >&2
  exit 1
fi

cleanup() {
  python3 "$server" stop --port "$port" --state-dir "$state" >/dev/null 2>&1 || true
  rm -f "$package"
}
trap cleanup EXIT
mkdir -p "$state"
python3 "$server" start --port "$port" --state-dir "$state"

# Random bytes, so that nothing on the way can shrink them.
head -c $((100 * 1024 * 1024)) /dev/urandom >"$package"
curl -sS --fail -o /dev/null --data-binary "@$package" "http://127.0.0.1:$port/_control/file?path=$url_path"

best_curl=
for i in $(seq "$runs"); do
  read -r t size < <(/usr/bin/curl -sS --fail -o /dev/null -w '%{time_total} %{size_download}\n' "$url")
  if [ "$size" != $((100 * 1024 * 1024)) ]; then
    echo "bench-service-download: curl received $size bytes" >&2
    exit 1
  fi
  echo "curl run $i: $t s"
  best_curl=$(python3 -c "import sys; a=sys.argv[1]; b=float(sys.argv[2]); print(b if a=='' or b<float(a) else a)" "$best_curl" "$t")
done

output=$("$here/wine-run.sh" --headless --build "$test_build" "$program" "$url" "$runs")
echo "$output"
best_service=$(echo "$output" | sed -n 's/^service download: .* best \([0-9.]*\) s.*/\1/p')
if [ -z "$best_service" ]; then
  echo "bench-service-download: the service download failed" >&2
  exit 1
fi
python3 -c "import sys; s=float(sys.argv[1]); c=float(sys.argv[2]); print('service %.3f s, curl %.3f s, ratio %.2f' % (s, c, s / c))" \
  "$best_service" "$best_curl"
