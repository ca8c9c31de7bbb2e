#!/usr/bin/env bash
# Runs every test program under Wine, with one display and one wineserver.
set -euo pipefail
source "$(dirname "$0")/wine-session.sh"
OVEK_OWN_DISPLAY=1 ovek_session_start
cd "$here/build"
ctest --output-on-failure ${CTEST_ARGS:-}
