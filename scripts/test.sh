#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds the tests with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them, builds with warnings as errors and runs every test
# (the end-to-end ones on a virtual display); each fuzz harness runs for a short while in
# between. The last lines are ctest's summary of the full suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

echo "== Formatting"
mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
clang-format --dry-run -Werror "${sources[@]}"

export QT_QPA_PLATFORM=offscreen
# Any sanitizer report ends the test run with a failure.
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== Sanitizer build and tests"
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DQUORINIMAGE_SANITIZE=ON \
  -DQUORINIMAGE_BENCH=OFF -DQUORINIMAGE_WERROR=ON
ctest --test-dir build-asan --output-on-failure --timeout 600 -j "$(nproc)"

echo "== Fuzzing, ${QUORINIMAGE_FUZZ_SECONDS:-20} s per reader"
scripts/fuzz.sh "${QUORINIMAGE_FUZZ_SECONDS:-20}"

echo "== Build"
scripts/build.sh build -DQUORINIMAGE_WERROR=ON

echo "== Tests"
ctest --test-dir build --output-on-failure --timeout 300 -j "$(nproc)"
