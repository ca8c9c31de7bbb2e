#!/usr/bin/env bash
# Download benchmark: one local server and one 256 MB file for curl, a bare
# WinInet loop and RunDownload. Run from the build folder by `make
# bench-download` inside a Wine session. The last line is "ratio R".
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
work="$here/build/bench-download"
rm -rf "$work"
mkdir -p "$work/served"
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

size=$((256 * 1024 * 1024))
head -c "$size" /dev/urandom > "$work/served/package.bin"
python3 "$here/tests/support/test_http_server.py" --serve-dir "$work/served" --port-file "$work/port" &
server_pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
url="http://127.0.0.1:$port/package.bin"

# curl: best of two, like the others.
best=0
for _ in 1 2; do
  speed=$(curl -s -o "$work/curl.bin" -w '%{speed_download}' "$url")
  best=$(python3 -c "print(max($best, $speed))")
done
cmp -s "$work/curl.bin" "$work/served/package.bin" || { echo "curl: download differs" >&2; exit 1; }
rm -f "$work/curl.bin"
python3 -c "print('curl-mbps %.1f' % ($best / 1048576))"

status=0
wine bench/bench_download.exe "$url" "Z:${work//\//\\}\\rundownload.bin" || status=$?
cmp -s "$work/rundownload.bin" "$work/served/package.bin" || { echo "RunDownload: file differs" >&2; exit 1; }
exit $status
