#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as the first argument); with
# QUORINIMAGE_TARGET set, only that target and what it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$dir" --parallel "$(nproc)" ${QUORINIMAGE_TARGET:+--target "$QUORINIMAGE_TARGET"}
