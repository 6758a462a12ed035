#!/usr/bin/env bash
# tools/check-install.sh [BUILD_DIR]: installs a built tree (default: build)
# into a temporary prefix and checks the result:
#   - every file is where it belongs, and the registry file names the
#     installed folder, not the build folder;
#   - the desktop entry passes desktop-file-validate and the AppStream file
#     appstreamcli validate --no-net;
#   - the installed program (when the build has one) starts on the offscreen
#     platform, with a data home of its own, reads both stand-in stores through
#     the installed registry file and is still running after a few seconds.
# Exits 0 when everything passed, 1 with a line per failure otherwise.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
id=com.tessaro.Pellmark

work=$(mktemp -d "${TMPDIR:-/tmp}/pellmark-install.XXXXXX")
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  fi
  rm -rf "$work"
}
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

# The installed program, started once. Without the wizard the first thing it
# does is load both stores; the stand-in Outlook makes its contacts file on
# first use, which proves the installed registry file led to the installed
# server.
if [ -e "$prefix/bin/pellmark" ]; then
  home=$work/home
  mkdir -p "$home/tessaro/PELLMARK"
  printf '[PELLMARK]\r\nShowWizard=0\r\n' >"$home/tessaro/PELLMARK/tessaro.ini"
  env -u PELLMARK_REGISTRY QT_QPA_PLATFORM=offscreen XDG_DATA_HOME="$home" HOME="$home" \
    "$prefix/bin/pellmark" >"$work/run.log" 2>&1 </dev/null &
  pid=$!
  for _ in $(seq 1 50); do
    [ -e "$home/OlStandin/contacts.db" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    fail "the installed program ended at start (exit status $?):"
    cat "$work/run.log" >&2
  else
    [ -e "$home/OlStandin/contacts.db" ] || fail "the installed program did not reach the stand-in Outlook"
    sleep 1
    kill -0 "$pid" 2>/dev/null || { cat "$work/run.log" >&2; fail "the installed program ended after loading"; }
  fi
else
  echo "check-install: no installed program yet; only the files and their validators were checked"
fi

[ "$failed" -eq 0 ] && echo "check-install: passed"
exit "$failed"
