#!/usr/bin/env bash
# tools/check-install.sh [BUILD_DIR]: installs a built tree (default: build)
# into a temporary prefix and checks the result:
#   - every file is where it belongs, and the registry file names the
#     installed folder, not the build folder;
#   - the desktop entry passes desktop-file-validate and the AppStream file
#     appstreamcli validate --no-net;
#   - the installed program (when the build has one) starts on the offscreen
#     platform with a data home of its own, reads both stand-in stores through
#     the installed registry file, and closes normally.
# Exits 0 when everything passed, 1 with a line per failure otherwise.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
id=com.tessaro.Pellmark

work=$(mktemp -d "${TMPDIR:-/tmp}/pellmark-install.XXXXXX")
cleanup() { rm -rf "$work"; }
trap cleanup EXIT

failed=0
fail() { echo "check-install: $*" >&2; failed=1; }

prefix=$work/prefix
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  fail "cmake --install failed"
  exit 1
fi

progdir=$prefix/libexec/pellmark
for f in \
    "$progdir/wab32.so" "$progdir/olstandin.so" "$progdir/OUTLOOK.EXE" "$progdir/wabtool" \
    "$progdir/pellmark.reg" "$progdir/PELLMARK.html" \
    "$prefix/share/doc/pellmark/PELLMARK.html" \
    "$prefix/share/applications/$id.desktop" \
    "$prefix/share/metainfo/$id.metainfo.xml" \
    "$prefix/share/icons/hicolor/scalable/apps/$id.svg" \
    "$prefix/share/icons/hicolor/256x256/apps/$id.png"; do
  [ -e "$f" ] || fail "missing after install: ${f#"$prefix"/}"
done

reg=$progdir/pellmark.reg
if [ -f "$reg" ]; then
  grep -q "$progdir/olstandin.so" "$reg" || fail "pellmark.reg does not name the installed olstandin.so"
  grep -q "$progdir/wab32.so" "$reg" || fail "pellmark.reg does not name the installed wab32.so"
  grep -q "$(cd "$build" && pwd)" "$reg" && fail "pellmark.reg still names the build folder"
fi

png=$prefix/share/icons/hicolor/256x256/apps/$id.png
if [ -f "$png" ] && command -v file >/dev/null; then
  file "$png" | grep -q "256 x 256" || fail "the 256x256 icon is not 256 x 256"
fi

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate failed"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log" >&2; fail "appstreamcli validate failed"; }

# The installed program, started once on the offscreen platform with a data
# home of its own, after one contact was put into each store with the
# installed tools. It closes itself through its normal path once its window
# is shown (PELLMARK_SMOKE_CLOSE_MS) and reports the rows it loaded: one on
# each side proves the installed registry file led it to the installed
# stand-ins.
if [ -e "$prefix/bin/pellmark" ]; then
  home=$work/home
  mkdir -p "$home/tessaro/PELLMARK"
  printf '[PELLMARK]\r\nShowWizard=0\r\n' >"$home/tessaro/PELLMARK/tessaro.ini"
  run() {
    env -u PELLMARK_REGISTRY -u PELLMARK_WAB_FAIL -u PELLMARK_OUTLOOK_FAIL \
      QT_QPA_PLATFORM=offscreen XDG_DATA_HOME="$home" HOME="$home" "$@" </dev/null
  }
  run "$prefix/bin/pellmark-wabtool" "" add PR_GIVEN_NAME=Anna PR_SURNAME=Ash PR_EMAIL_ADDRESS=anna@example.org \
    >/dev/null || fail "pellmark-wabtool could not add a contact"
  run "$prefix/bin/pellmark-outlook" add contact FirstName=Anna LastName=Ash Email1Address=anna@example.org \
    >/dev/null || fail "pellmark-outlook could not add a contact"
  PELLMARK_SMOKE_CLOSE_MS=500 timeout 60 env -u PELLMARK_REGISTRY QT_QPA_PLATFORM=offscreen \
    XDG_DATA_HOME="$home" HOME="$home" "$prefix/bin/pellmark" >"$work/run.log" 2>&1 </dev/null
  rc=$?
  if [ "$rc" -ne 0 ]; then
    cat "$work/run.log" >&2
    fail "the installed program ended with status $rc"
  elif ! grep -q "pellmark: main window shown, WAB rows 1, Outlook rows 1" "$work/run.log"; then
    cat "$work/run.log" >&2
    fail "the installed program did not load one contact from each installed stand-in"
  fi
else
  echo "check-install: no installed program yet; only the files and their validators were checked"
fi

[ "$failed" -eq 0 ] && echo "check-install: passed"
exit "$failed"
