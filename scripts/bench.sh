#!/usr/bin/env bash
# Builds and runs benchmark NAME: bench/NAME.sh when there is one (for
# benchmarks that need a server or other peers), else bench_NAME.exe.
set -euo pipefail
name=$1
source "$(dirname "$0")/wine-session.sh"
cmake --build "$here/build" --target "bench_${name}"
ovek_session_start
cd "$here/build"
if [ -f "$here/bench/${name}.sh" ]; then
  bash "$here/bench/${name}.sh" "${@:2}"
else
  wine "bench/bench_${name}.exe" "${@:2}"
fi
