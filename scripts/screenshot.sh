#!/usr/bin/env bash
# Saves a PNG of the virtual display, or of one rectangle of it (a window's
# screen rectangle as a test reports it), for the README and for looking at
# work in progress:
#   scripts/screenshot.sh OUT.png [WIDTHxHEIGHT+X+Y]
# DISPLAY must name the display the windows are on (a test session's Xvfb;
# `ls /tmp/.X11-unix` lists the running ones).
set -euo pipefail
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 OUT.png [WIDTHxHEIGHT+X+Y]" >&2
  exit 2
fi
out=$1
rect=${2:-}
if [ -z "${DISPLAY:-}" ]; then
  echo "screenshot: DISPLAY is not set" >&2
  exit 1
fi
if [ -n "$rect" ] && ! [[ $rect =~ ^[0-9]+x[0-9]+\+[0-9]+\+[0-9]+$ ]]; then
  echo "screenshot: '$rect' is not WIDTHxHEIGHT+X+Y" >&2
  exit 2
fi
mkdir -p "$(dirname "$out")"
if [ -n "$rect" ]; then
  import -window root -crop "$rect" +repage "png:$out"
else
  import -window root "png:$out"
fi
echo "screenshot: $out ($(identify -format '%wx%h' "$out"))"
