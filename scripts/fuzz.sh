#!/usr/bin/env bash
# Fuzzes the command-line rules, the line rule and the exchange-file reader
# with libFuzzer for a while (default 60 seconds).
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
if ! command -v clang++ >/dev/null 2>&1; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang </dev/null >/dev/null
fi
# Only the core and the fuzz target: the query library and tests stay out.
CC=clang CXX=clang++ scripts/setup.sh build-fuzz -DTRELVANE_FUZZ=ON -DTRELVANE_SANITIZE=ON \
  -DTRELVANE_BUILD_TESTS=OFF -DTRELVANE_BUILD_KORDAVIN=OFF
mkdir -p build-fuzz/corpus
printf 'Router1.Prf\n- Uptime.....: 1234 s\r\n* Walk\r\n- Load.......:  42 %%\r\n\x1a' \
  >build-fuzz/corpus/seed
build-fuzz/trelvane_fuzz -max_total_time="$seconds" -max_len=4096 build-fuzz/corpus
