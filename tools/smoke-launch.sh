#!/usr/bin/env bash
# tools/smoke-launch.sh [BIN_DIR]: starts the real program on the offscreen
# platform on a freshly seeded temporary data home, checks that the main
# window came up with both contact lists filled, lets it close through its
# normal path (PELLMARK_SMOKE_CLOSE_MS) and checks that the settings file was
# written by that close.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/bin}
home=$(mktemp -d /tmp/pellmark-smoke-XXXXXX)
trap 'rm -rf "$home"' EXIT
export XDG_DATA_HOME="$home" HOME="$home"
"$bin/wabtool" "" add PR_GIVEN_NAME=Anna PR_SURNAME=Smith PR_EMAIL_ADDRESS=anna@example.org >/dev/null
"$bin/OUTLOOK.EXE" add contact FirstName=Anna LastName=Smith Email1Address=anna@example.org >/dev/null
"$bin/OUTLOOK.EXE" add contact FirstName=Björn LastName=Müller Email1Address=bjorn@example.org >/dev/null
printf '[PELLMARK]\r\nShowWizard=0\r\n' >"$home/tessaro/PELLMARK/tessaro.ini"
out=$(QT_QPA_PLATFORM=offscreen PELLMARK_SMOKE_CLOSE_MS=1500 timeout 60 "$bin/pellmark" 2>&1) || {
  echo "smoke launch: pellmark failed: $out" >&2; exit 1; }
echo "$out" | grep -q "pellmark: main window shown, WAB rows 1, Outlook rows 2" || {
  echo "smoke launch: the window did not show both lists filled: $out" >&2; exit 1; }
grep -q "SyncMode=1" "$home/tessaro/PELLMARK/tessaro.ini" || {
  echo "smoke launch: tessaro.ini was not written at the close" >&2; exit 1; }
echo "smoke launch: window shown with both lists filled, closed normally, settings written"
