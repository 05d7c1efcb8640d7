#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (ASan and UBSan) into build-fuzz/ and runs each
# for a while on a copy of its seed corpus, so the committed corpus never grows. Fails when any
# target crashes, fails one of its checks or reports a sanitizer error; the input that did it is
# left in build-fuzz/fuzz-runs/<target>/ and the end of the target's log is printed.
#
# Usage: scripts/fuzz.sh [seconds-per-target]        (default 20)
#        FUZZ_RUNS=1000000 scripts/fuzz.sh           (a number of executions per target instead)
# Replay an input: build-fuzz/fuzz/fuzz_<target> <file>. New targets come from kit_add_fuzzer in
# fuzz/CMakeLists.txt and are run here without further ado.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
build="$here/build-fuzz"

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is missing (scripts/setup.sh --tests installs clang and its fuzzer run-time)" >&2
  exit 1
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKIT_FUZZ=ON -DKIT_BUILD_TESTS=OFF -DKIT_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzzers --parallel "$(nproc)"

export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
if [ -n "${FUZZ_RUNS:-}" ]; then
  limit=(-runs="$FUZZ_RUNS")
else
  limit=(-max_total_time="$seconds")
fi

failed=()
while read -r name; do
  [ -n "$name" ] || continue
  work="$build/fuzz-runs/$name"
  rm -rf "$work"
  mkdir -p "$work/corpus"
  cp -R "$here/fuzz/corpus/$name/." "$work/corpus/"
  status=0
  (cd "$work" && "$build/fuzz/fuzz_$name" "${limit[@]}" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
     -artifact_prefix="$work/" corpus </dev/null >"$work/log" 2>&1) || status=$?
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)"
  if [ "$status" -ne 0 ] || grep -qE "^SUMMARY: |runtime error:" "$work/log"; then
    echo "fuzz_$name: FAILED (exit $status) after ${runs:-?} executions; input and log in $work" >&2
    tail -n 40 "$work/log" >&2
    failed+=("$name")
  else
    echo "fuzz_$name: ${runs:-?} executions, clean"
  fi
done <"$build/fuzz/fuzzers.txt"

if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzz.sh: failed: ${failed[*]}" >&2
  exit 1
fi
