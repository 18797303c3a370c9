#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds with warnings as errors and runs
# every test headless. Ends with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

echo "== Formatting"
mapfile -t sources < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find app model editor ui tests bench -name '*.cpp' -o -name '*.h')
clang-format --dry-run -Werror "${sources[@]}"

echo "== Build"
scripts/build.sh build -DQUORINIMAGE_WERROR=ON

echo "== Tests"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --timeout 300 -j "$(nproc)"
