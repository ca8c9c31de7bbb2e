#!/usr/bin/env bash
# Builds and runs one benchmark program (bench-NAME) under Wine.
set -euo pipefail
name=$1
source "$(dirname "$0")/wine-session.sh"
cmake --build "$here/build" --target "bench_${name}"
ovek_session_start
cd "$here/build"
wine "bench/bench_${name}.exe" "${@:2}"
