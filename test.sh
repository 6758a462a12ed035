#!/usr/bin/env bash
# Builds and runs every test twice: a normal build (build/), then an
# AddressSanitizer + UndefinedBehaviorSanitizer build (build-asan/) that
# stops at the first error. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc)

# Includes follow the layer order before anything is built.
tools/check-includes.sh

tools/build.sh build -DPELLMARK_SANITIZE=OFF -DPELLMARK_BENCH=ON
(cd build && ctest -j "$jobs" --output-on-failure --timeout 300)

tools/build.sh build-asan -DPELLMARK_SANITIZE=ON -DPELLMARK_BENCH=OFF
(cd build-asan && \
  ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
  LSAN_OPTIONS=suppressions="$PWD/../tools/lsan.supp":print_suppressions=0 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest -j "$jobs" --output-on-failure --timeout 600)

# Every fuzzer for a bounded time on its seed corpus (clang, ASan, UBSan).
tools/fuzz.sh 50
