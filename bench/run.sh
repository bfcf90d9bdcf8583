#!/usr/bin/env bash
# Builds Release and measures relabel against the floor (reading the input three times and
# writing an output of the same size, nothing more) on generated listings:
#   - paired runs on both profiles, medians and the ratio;
#   - peak memory, and the same for a listing ten times as long over the same names;
#   - time per line at 1M, 2M and 4M lines;
#   - instructions per input line under callgrind, a figure machine noise does not move.
# Usage: bench/run.sh [PAIRS]   (default 7 paired runs per profile)
set -euo pipefail
cd "$(dirname "$0")/.."
pairs=${1:-7}

cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
tools=build-release/bench
relabel=build-release/relabel
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Prints "seconds peak_kib" of one relabel run on $1.
run_relabel() {
  read -r seconds peak status < <("$tools/measure" "$relabel" "$1" "$work/out.lst")
  [ "$status" = 0 ] || { echo "relabel failed on $1 (status $status)" >&2; exit 1; }
  echo "$seconds $peak"
}

run_floor() {
  read -r seconds _ status < <("$tools/measure" "$tools/floor" "$1" "$work/floor.lst" "$2")
  [ "$status" = 0 ] || { echo "floor failed on $1" >&2; exit 1; }
  echo "$seconds"
}

for profile in typical heavy; do
  "$tools/generate_listing" "$profile" 1000000 > "$work/$profile.lst"
done
echo "1M-line listings: typical $(($(stat -c %s "$work/typical.lst") / 1000000)) MB, heavy $(($(stat -c %s "$work/heavy.lst") / 1000000)) MB"
echo
printf '%-8s %12s %12s %8s %12s\n' profile "relabel (s)" "floor (s)" ratio "peak (MiB)"
for profile in typical heavy; do
  listing=$work/$profile.lst
  run_relabel "$listing" >/dev/null  # warm the page cache
  output_bytes=$(stat -c %s "$work/out.lst")
  : > "$work/relabel.times"; : > "$work/floor.times"; : > "$work/peaks"
  for _ in $(seq "$pairs"); do
    read -r seconds peak < <(run_relabel "$listing")
    echo "$seconds" >> "$work/relabel.times"; echo "$peak" >> "$work/peaks"
    run_floor "$listing" "$output_bytes" >> "$work/floor.times"
  done
  r=$(median < "$work/relabel.times"); f=$(median < "$work/floor.times"); p=$(median < "$work/peaks")
  printf '%-8s %12.3f %12.3f %7.1fx %12.1f\n' "$profile" "$r" "$f" "$(echo "$r $f" | awk '{ print $1 / $2 }')" "$(echo "$p" | awk '{ print $1 / 1024 }')"
done

echo
for _ in $(seq 10); do cat "$work/typical.lst"; done > "$work/typical-10x.lst"
read -r _ peak_1x < <(run_relabel "$work/typical.lst")
read -r _ peak_10x < <(run_relabel "$work/typical-10x.lst")
echo "peak memory, typical 1M lines: $((peak_1x / 1024)) MiB; the same listing 10 times over: $((peak_10x / 1024)) MiB"
rm -f "$work/typical-10x.lst"

echo
printf '%-10s %12s %14s\n' lines "relabel (s)" "ns per line"
for lines in 1000000 2000000 4000000; do
  "$tools/generate_listing" typical "$lines" > "$work/scale.lst"
  run_relabel "$work/scale.lst" >/dev/null
  : > "$work/scale.times"
  for _ in 1 2 3; do run_relabel "$work/scale.lst" | cut -d' ' -f1 >> "$work/scale.times"; done
  s=$(median < "$work/scale.times")
  printf '%-10s %12.3f %14.1f\n' "$lines" "$s" "$(echo "$s $lines" | awk '{ print $1 * 1e9 / $2 }')"
done

if command -v valgrind >/dev/null; then
  echo
  for profile in typical heavy; do
    "$tools/generate_listing" "$profile" 100000 > "$work/small.lst"
    instructions=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$relabel" "$work/small.lst" "$work/out.lst" < /dev/null 2>&1 >/dev/null |
                   awk '/Collected :/ { print $4 }')
    echo "callgrind, $profile 100,000 lines: $instructions instructions, $((instructions / 100000)) per input line"
  done
fi
