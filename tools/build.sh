#!/usr/bin/env bash
# tools/build.sh DIR [cmake options...]: configures DIR with the given options
# and builds it. The options are passed on every call, so a folder always
# builds with what its caller asks for, never with what an earlier configure
# left in its cache.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
