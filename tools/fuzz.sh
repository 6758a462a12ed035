#!/usr/bin/env bash
# tools/fuzz.sh [SECONDS] [NAME...]: builds the fuzzers in build-fuzz/ (clang,
# libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer) and runs each
# one (or the NAMEs given, e.g. "profile") for SECONDS (default 60) on a copy
# of its seed corpus. Fails on any crash, leak, hang, memory blow-up or
# sanitizer report, and prints the path of the input that caused it.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-60}
shift || true

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELLMARK_FUZZ=ON -DPELLMARK_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target pellmark_fuzzers

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for dir in fuzz/*/; do
    [ -f "$dir/CMakeLists.txt" ] && names+=("$(basename "$dir")")
  done
fi

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

failed=0
for name in "${names[@]}"; do
  work=build-fuzz/fuzz-run/$name
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts"
  cp fuzz/"$name"/corpus/* "$work/corpus/"
  opts=(-max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$work/artifacts/")
  [ -f fuzz/"$name"/dict ] && opts+=(-dict=fuzz/"$name"/dict)
  if build-fuzz/bin/fuzz_"$name" "${opts[@]}" "$work/corpus" >"$work/log" 2>&1; then
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n1)
    cov=$(grep -o 'cov: [0-9]*' "$work/log" | tail -n1)
    echo "fuzz_$name: ${secs}s, ${execs:-?} runs, ${cov:-cov: ?}, no finding"
  else
    failed=1
    tail -n 40 "$work/log"
    for f in "$work"/artifacts/*; do
      [ -e "$f" ] && echo "fuzz_$name: FINDING, reproducer: $f (rerun: build-fuzz/bin/fuzz_$name $f)"
    done
    echo "fuzz_$name: FAILED, full log: $work/log"
  fi
done
exit $failed
