#!/usr/bin/env bash
# Builds the project twice, plainly and with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test on both builds.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build -j8 --output-on-failure --timeout 300

scripts/setup.sh build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTRELVANE_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize -j8 --output-on-failure --timeout 300
