#!/usr/bin/env bash
# Runs the installer's main job on the bundled sample product: the executable
# is staged with the sample's folders and its package beside it and run
# silently under Wine (the wizard's panels come later); it installs KAVRO Free
# through Windows Installer and records it in the registry.
set -euo pipefail
source "$(dirname "$0")/wine-session.sh"
stage="$here/build/demo"
product="{8CEA3D6F-C97B-43A6-8971-2604A8F7C32C}"
rm -rf "$stage"
mkdir -p "$stage/msi"
cp "$here/build/OvekWebInstaller.exe" "$stage/"
cp -r "$here/sample/." "$stage/"
cp "$here/build/packages/kavro_free.msi" "$stage/msi/"
ovek_session_start
# An earlier demo's installation would make this one "already installed".
wine msiexec /x "$product" /qn >/dev/null 2>&1 || true
args=${DEMO_ARGS:-/s}
echo "demo: running $stage/OvekWebInstaller.exe $args"
start=$(date +%s.%N)
set +e
timeout "${DEMO_TIMEOUT:-300}" wine "$stage/OvekWebInstaller.exe" $args
code=$?
set -e
printf 'demo: the installer ended with code %s after %.1f s\n' "$code" "$(python3 -c "print($(date +%s.%N) - $start)")"
[ "$code" -ne 124 ] || { echo "demo: the installer did not end"; exit 1; }
dir=$(wine reg query 'HKLM\SOFTWARE\Ovek Systems\KAVRO Free' /v InstallDir 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
if [ -z "$dir" ]; then
  echo "demo: KAVRO Free was not installed"
  exit 1
fi
echo "demo: KAVRO Free installed in $dir"
wine reg query 'HKLM\SOFTWARE\Ovek Systems\KAVRO Free' 2>/dev/null | tr -d '\r' | grep REG_ || true
# The prefix is shared with the tests, which expect no KAVRO Free installed.
wine msiexec /x "$product" /qn >/dev/null 2>&1 || true
echo "demo: removed again, so the test prefix stays clean"
