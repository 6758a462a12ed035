#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it on a demo data
# home inside the build folder (build/demo-home), filled once with generated
# contacts for both stores. build/bin/pellmark started by itself uses your
# own data home instead.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
tools/build.sh build
tools/make-demo-data.sh build/bin build/demo-home
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: start it under Xvfb with  xvfb-run -a ./run.sh  (or set DISPLAY)." >&2
  exit 1
fi
export XDG_DATA_HOME="$PWD/build/demo-home" HOME="$PWD/build/demo-home"
exec build/bin/pellmark "$@"
