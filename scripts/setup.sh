#!/usr/bin/env bash
# Installs what the build and the tests need and prepares the Wine prefix.
# Idempotent: only missing packages are installed, the prefix is made once.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  g++-mingw-w64-x86-64-posix mingw-w64-tools   # cross compiler, windres
  wine64                                       # runs the program and its tests
  wixl msitools                                # test packages for Windows Installer
  xvfb xauth imagemagick                       # a display for windows, screenshots
  fonts-liberation                             # Arial stand-in for the prefix
  cmake ninja-build googletest python3 curl    # build, tests, test server, benchmarks
  clang libclang-rt-14-dev                     # native sanitizer and fuzzer builds
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# One Wine prefix per build tree, with the fonts DirectWrite needs registered.
export WINEPREFIX="$here/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
stamp="$WINEPREFIX/.ovek-ready"
if [ ! -f "$stamp" ]; then
  echo "setup: creating Wine prefix $WINEPREFIX"
  mkdir -p "$here/build"
  wineboot -i >/dev/null 2>&1
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf "$fonts/"
  cp /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf "$fonts/arial.ttf"
  cp /usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf "$fonts/arialbd.ttf"
  key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
  wine reg add "$key" /v "Tahoma (TrueType)" /t REG_SZ /d tahoma.ttf /f >/dev/null 2>&1
  wine reg add "$key" /v "Tahoma Bold (TrueType)" /t REG_SZ /d tahomabd.ttf /f >/dev/null 2>&1
  wine reg add "$key" /v "Arial (TrueType)" /t REG_SZ /d arial.ttf /f >/dev/null 2>&1
  wine reg add "$key" /v "Arial Bold (TrueType)" /t REG_SZ /d arialbd.ttf /f >/dev/null 2>&1
  wineserver -w
  touch "$stamp"
fi

# Tests look at whole windows on the virtual display. Without a window manager
# Wine hands a captioned window's frame to X ("managed") and only its client
# area shows; unmanaged, Wine draws the whole window itself. A prefix setting
# for tests, checked in the saved registry so that it costs nothing once made.
if ! awk '/^\[Software\\\\Wine\\\\X11 Driver\]/ { s = 1; next } /^\[/ { s = 0 }
          s && /^"Managed"="N"/ { found = 1 } END { exit !found }' "$WINEPREFIX/user.reg" 2>/dev/null; then
  echo "setup: letting Wine draw whole windows (X11 Driver Managed=N)"
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
fi
