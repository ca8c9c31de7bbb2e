#!/usr/bin/env bash
# Runs the installer's main job on the bundled sample product: the executable
# is staged with the sample's folders beside it and run under Wine.
set -euo pipefail
source "$(dirname "$0")/wine-session.sh"
stage="$here/build/demo"
rm -rf "$stage"
mkdir -p "$stage/config"
cp "$here/build/OvekWebInstaller.exe" "$stage/"
[ -d "$here/sample" ] && cp -r "$here/sample/." "$stage/"
ovek_session_start
echo "demo: running $stage/OvekWebInstaller.exe ${DEMO_ARGS:-}"
start=$(date +%s.%N)
set +e
timeout "${DEMO_TIMEOUT:-600}" wine "$stage/OvekWebInstaller.exe" ${DEMO_ARGS:-}
code=$?
set -e
end=$(date +%s.%N)
printf 'demo: the installer ended with code %s after %.1f s\n' "$code" "$(python3 -c "print($end - $start)")"
[ "$code" -ne 124 ]
