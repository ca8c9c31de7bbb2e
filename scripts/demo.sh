#!/usr/bin/env bash
# The installer's real job on the bundled sample: a local web server plays
# the maker's server (the version document and the packages), the installer
# is staged beside a manifest that fetches from it, and it runs:
#   - on the person's own display (DISPLAY set, not a virtual one) the wizard
#     opens there for them to click through;
#   - otherwise, or with DEMO_MODE=virtual, on a virtual display, where
#     demo_driver_helper clicks through it as a person would and saves a
#     screenshot of each page under build/demo/.
# Either way it then prints what the installation recorded in the registry
# and removes the product again, so the test prefix stays clean.
#   DEMO_MODE=virtual|display   force one of the two
#   DEMO_ARGS="..."             extra arguments for the installer
#   DEMO_TIMEOUT=S              how long the installer may run (display: 1800, virtual: 300)
#   DEMO_RATE=B                 bytes per second for the packages (default 12000; 0: at once)
set -euo pipefail
source "$(dirname "$0")/wine-session.sh"
# Only what the demo runs: the installer, the packages, the demo's helpers.
cmake --build "$here/build" --target OvekWebInstaller test_packages demo_driver_helper homepage_recorder_helper \
  demo_language_pack_helper
out="$here/build/demo"
stage="$out/installer"
served="$out/server"
product="{8CEA3D6F-C97B-43A6-8971-2604A8F7C32C}"
regkey='HKLM\SOFTWARE\Ovek Systems\KAVRO Free'
httpkey='HKCR\http\shell\open\command'
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# A display of the person's own, or one of the virtual ones the scripts start?
is_virtual_display() {
  local n=${1#*:}
  n=${n%%.*}
  ps -eo args= | grep -Eq "^(/usr/bin/)?Xvfb :$n( |$)"
}
mode=${DEMO_MODE:-}
if [ -z "$mode" ]; then
  if [ -n "${DISPLAY:-}" ] && ! is_virtual_display "$DISPLAY"; then mode=display; else mode=virtual; fi
fi
case "$mode" in
  display) [ -n "${DISPLAY:-}" ] || { echo "demo: DEMO_MODE=display needs DISPLAY"; exit 2; } ;;
  virtual) ;;
  *) echo "demo: DEMO_MODE must be virtual or display"; exit 2 ;;
esac

rm -rf "$out"
mkdir -p "$stage/config" "$served/kavro-free"
# The maker's server: the version document, the product, the language packs.
cp "$here/sample/server/kavro-free/version.xml" "$served/kavro-free/"
cp "$here/build/packages/kavro_free.msi" "$served/kavro-free/"
for lang in 1031 1036 1041; do
  cp "$here/build/demo_language_pack_helper.exe" "$served/kavro-free/language_pack_$lang.exe"
done
# The installer as a person gets it: its manifest and language folders beside it.
cp "$here/build/OvekWebInstaller.exe" "$stage/"
cp -r "$here/sample/language" "$stage/"

server_pid=""
saved_http=""
cleanup() {
  if [ -n "$saved_http" ]; then
    wine reg add "$httpkey" /ve /t REG_SZ /d "$saved_http" /f >/dev/null 2>&1 || true
  fi
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null || true
  ovek_session_stop
}
# A static server that writes down every request it answers; the packages
# trickle out at DEMO_RATE bytes/s so the status page has something to show.
python3 "$here/sample/server/serve.py" "$served" "$out/port" "${DEMO_RATE:-12000}" 2>"$out/server.log" &
server_pid=$!
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$out/port" ] && break; sleep 0.1; done
[ -s "$out/port" ] || { echo "demo: the local server did not start"; exit 1; }
port=$(cat "$out/port")
sed "s/@PORT@/$port/g" "$here/sample/server/manifest.xml.in" > "$stage/config/manifest.xml"
sed -i "s/@PORT@/$port/g" "$served/kavro-free/version.xml"
echo "demo: serving the version document and packages at http://127.0.0.1:$port/kavro-free/"

if [ "$mode" = virtual ]; then OVEK_OWN_DISPLAY=1 ovek_session_start; else ovek_session_start; fi
trap cleanup EXIT
# An earlier demo's installation would make this one "already installed";
# its registry record stays behind Windows Installer's removal.
remove_product() {
  wine msiexec /x "$product" /qn >/dev/null 2>&1 || true
  wine reg delete "$regkey" /f >/dev/null 2>&1 || true
}
remove_product

# The home page opens through the shell's http handler: write it down instead
# of starting a browser on an address that serves nothing.
saved_http=$( (wine reg query "$httpkey" /ve 2>/dev/null || true) | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
# (A demo that was killed may have left the recorder in place.)
case "$saved_http" in ""|*homepage_recorder_helper*) saved_http='"C:\windows\system32\winebrowser.exe" "%1"' ;; esac
wine reg add "$httpkey" /ve /t REG_SZ \
  /d "\"$(winpath "$here/build/homepage_recorder_helper.exe")\" \"$(winpath "$out/opened.txt")\" \"%1\"" /f >/dev/null 2>&1

exe="$(winpath "$stage/OvekWebInstaller.exe")"
start=$(date +%s.%N)
set +e
if [ "$mode" = display ]; then
  echo "demo: the wizard opens on $DISPLAY: accept, Install, Start Now"
  timeout "${DEMO_TIMEOUT:-1800}" wine "$exe" ${DEMO_ARGS:-}
  code=$?
else
  echo "demo: no display of your own: clicking through on the virtual display $DISPLAY"
  timeout "${DEMO_TIMEOUT:-300}" wine "$here/build/demo_driver_helper.exe" "$exe" "$(winpath "$out")" ${DEMO_ARGS:-}
  code=$?
fi
set -e
printf 'demo: finished with code %s after %.1f s\n' "$code" "$(python3 -c "print($(date +%s.%N) - $start)")"
[ "$code" -ne 124 ] || echo "demo: the installer did not end in time"

if [ "$mode" = virtual ]; then
  shots=$(ls "$out"/*.png 2>/dev/null || true)
  if [ -n "$shots" ]; then
    echo "demo: screenshots of each page:"
    for s in $shots; do
      # The capture's own encoder does not compress; ImageMagick does.
      convert "$s" -strip -define png:compression-level=9 "$s" 2>/dev/null || true
      echo "  $s"
    done
  fi
fi
echo "demo: the server answered:"
grep -E '"(GET|HEAD) ' "$out/server.log" 2>/dev/null | sed 's/^[^"]*"\([^"]*\)" \([0-9]*\).*/  \1 -> \2/' || true
if [ -s "$out/opened.txt" ]; then
  echo "demo: the home page it opened: $(tr -d '\r' < "$out/opened.txt" | paste -sd ' ')"
fi

dir=$( (wine reg query "$regkey" /v InstallDir 2>/dev/null || true) | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
status=0
if [ -z "$dir" ]; then
  echo "demo: KAVRO Free was not installed"
  status=1
else
  echo "demo: KAVRO Free installed in $dir; the registry holds:"
  wine reg query "$regkey" /s 2>/dev/null | tr -d '\r' | grep -E 'REG_|^HKEY' | sed 's/^/  /' || true
fi
[ "$code" -eq 0 ] || status=1
# The prefix is shared with the tests, which expect no KAVRO Free installed.
remove_product
echo "demo: removed again, so the test prefix stays clean"
exit $status
