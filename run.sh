#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
tools/build.sh build
if [ -x build/bin/pellmark ]; then
  exec build/bin/pellmark "$@"
fi
echo "Built everything in build/. The program's window is not assembled yet:"
echo "there is no build/bin/pellmark to start. The stores and their tools are in build/bin/."
