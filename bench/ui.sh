#!/usr/bin/env bash
# Start-up to first paint: the installer (staged with the sample's manifest
# and language folders, standalone, "/n") against a bare Win32 window. Run
# from the build folder by `make bench-ui` inside a Wine session. The last
# line is "first-frame-ratio R".
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
stage="$here/build/bench-ui"
product="{8CEA3D6F-C97B-43A6-8971-2604A8F7C32C}"
rm -rf "$stage"
mkdir -p "$stage"
cp "$here/build/OvekWebInstaller.exe" "$stage/"
cp -r "$here/sample/config" "$here/sample/language" "$stage/"
trap 'rm -rf "$stage"' EXIT
# An installed product would open the status panel and install: the
# settings panel must be the first page.
wine msiexec /x "$product" /qn >/dev/null 2>&1 || true
winpath() { printf 'Z:%s' "${1//\//\\}"; }
wine bench/bench_ui.exe "$(winpath "$here/build/bench/bench_bare_window.exe")" \
  "$(winpath "$stage/OvekWebInstaller.exe")" "${BENCH_RUNS:-7}"
