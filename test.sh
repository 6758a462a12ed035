#!/usr/bin/env bash
# Builds and runs every test twice: a normal build (build/), then an
# AddressSanitizer + UndefinedBehaviorSanitizer build (build-asan/) that
# stops at the first error; then the tests of the threaded code once more
# under ThreadSanitizer (build-tsan/). Fails when any test fails.
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

# ThreadSanitizer over the tests of the threaded code only (threads and
# events, painting, the wait window): it finds the data races between the
# wait window's thread and the main thread that AddressSanitizer cannot.
tsan_targets=(test_Thread test_Paint test_WaitPaint test_WaitWindow)
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELLMARK_TSAN=ON -DPELLMARK_SANITIZE=OFF -DPELLMARK_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$jobs" --target "${tsan_targets[@]}"
(cd build-tsan && \
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest -j "$jobs" --output-on-failure --timeout 600 \
    -R '^(Event|Thread|MemorySurface|WaitPaint|WaitWindowX|WaitWindowNoDisplay)\.')
