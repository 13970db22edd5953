#!/usr/bin/env bash
# Measures the per-line path of the exchange file:
#  1. Google Benchmark of the reader and report writers (lines/s, allocations
#     per line), build/trelvane_bench;
#  2. the built program end to end on a large exchange file, side by side
#     with two reference tools over the same file, and the ratios.
#   scripts/bench.sh [LINES]        (default 1000000)
set -euo pipefail
cd "$(dirname "$0")/.."
lines="${1:-1000000}"

scripts/setup.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
build/trelvane_bench --benchmark_min_time=0.2

work="$(mktemp -d /tmp/trelvane-bench.XXXXXX)"
trap 'rm -rf "$work"' EXIT
cp build/bin/Trelvane build/fakes/full/Kordavin.Dll "$work/"
printf 'IP-Addr....: 127.0.0.1\r\nDescription: Bench\r\n' >"$work/Profiler.Prf"
awk -v n="$lines" 'BEGIN { for (i = 0; i < n; i++)
  printf "- eth%d Traffic In %d.....: %d Byte/s\r\n", i % 48, i, 1000000 + i }' >"$work/lines.src"

# Best of five wall-clock runs, in milliseconds.
best_ms() {
  local best=""
  for _ in 1 2 3 4 5; do
    local start end ms
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    ms=$(((end - start) / 1000000))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}

cd "$work"
# Profiler mode: no closing pause, so the time is the run's own work (the
# test library copies the file into place, the sensor reads and reports it).
export FAKE_KORDAVIN_EXCHANGE="$work/lines.src"
sensor=$(best_ms ./Trelvane Profiler.Prf)
cat_ms=$(best_ms cat lines.src)
awk_ms=$(best_ms awk -F: '{ print "<Channel>" $1 "</Channel><Value>" $2 "</Value>" }' lines.src)
size=$(stat -c %s lines.src)
echo
echo "exchange file: $lines lines, $size bytes"
echo "Trelvane (Xml report): ${sensor} ms"
echo "cat (reference):       ${cat_ms} ms"
echo "awk (reference):       ${awk_ms} ms"
awk -v s="$sensor" -v c="$cat_ms" -v a="$awk_ms" 'BEGIN {
  if (c < 1) c = 1; if (a < 1) a = 1;
  printf "ratio Trelvane/cat: %.2f   ratio Trelvane/awk: %.2f\n", s / c, s / a }'
