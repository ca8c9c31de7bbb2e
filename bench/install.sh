#!/usr/bin/env bash
# Runs bench_install.exe in a Wine prefix made afresh for it, so the
# installation starts from a machine that has never seen the product.
# Run from the build folder by scripts/bench.sh.
set -euo pipefail
prefix="$PWD/bench-install-prefix"
rm -rf "$prefix"
export WINEPREFIX="$prefix"
wineboot -i >/dev/null 2>&1
wineserver -p >/dev/null 2>&1 &
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
wine bench/bench_install.exe
