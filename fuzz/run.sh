#!/usr/bin/env bash
# Builds the fuzzers with clang and runs each for the given number of seconds (default 60),
# starting from the shipped seed corpus. A fault stops the run and leaves its input in
# build-fuzz/findings/; copy it into fuzz/regressions/<target>/ so the test suite replays it.
# Usage: fuzz/run.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
mkdir -p build-fuzz/findings
for target in relabel split; do
  corpus=build-fuzz/corpus/$target
  mkdir -p "$corpus"
  cp -n fuzz/corpus/$target/* "$corpus"/
  [ -d fuzz/regressions/$target ] && cp -n fuzz/regressions/$target/* "$corpus"/
  echo "== ${target}_fuzzer for ${seconds} s"
  build-fuzz/fuzz/${target}_fuzzer -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/findings/${target}- "$corpus" 2>&1 |
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|==[0-9]+==|SUMMARY|.*property failed)' || true
  # grep hides the fuzzer's own status, so ask the artifacts instead.
  if compgen -G "build-fuzz/findings/${target}-*" >/dev/null; then
    echo "${target}_fuzzer found a fault: $(ls build-fuzz/findings/${target}-*)" >&2
    exit 1
  fi
done
