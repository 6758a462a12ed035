#!/usr/bin/env bash
# tools/screenshot.sh [OUT.png]: takes a picture of the main window with the
# demo data (build/demo-home, filled by tools/make-demo-data.sh when empty)
# on a private Xvfb display of exactly the window's size, then closes the
# program normally. Needs Xvfb and ImageMagick's import; default output
# docs/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshot.png}
bin=build/bin
[ -x "$bin/pellmark" ] || { echo "build/bin/pellmark is missing: build first (tools/build.sh build)" >&2; exit 1; }
tools/make-demo-data.sh "$bin" build/demo-home
mkdir -p "$(dirname "$out")"
# A copy of the demo home with the first-run wizard switched off, so the
# picture shows the main window and the demo home itself stays as it was.
home=$(mktemp -d /tmp/pellmark-shot-XXXXXX)
cp -a build/demo-home/. "$home/"
mkdir -p "$home/tessaro/PELLMARK"
printf '[PELLMARK]\r\nShowWizard=0\r\n' >"$home/tessaro/PELLMARK/tessaro.ini"

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1018x674x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$home"' EXIT
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done

XDG_DATA_HOME=$home HOME=$home DISPLAY=$display \
  QT_QPA_PLATFORM=xcb PELLMARK_SMOKE_CLOSE_MS=6000 "$bin/pellmark" >/dev/null &
prog=$!
sleep 4
import -display "$display" -window root "$out"
wait $prog
echo "wrote $out"
