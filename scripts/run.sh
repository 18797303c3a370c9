#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it. Without a display it starts
# under a virtual one (Xvfb), so the command also works on a machine with no screen. Its
# arguments go to the program (scripts/run.sh heart.ilz).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Only the program: the tests, benchmarks and fuzzers wait for scripts/test.sh.
QUORINIMAGE_TARGET=quorinimage scripts/build.sh build
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/quorinimage "$@"
else
  echo "No display found: starting under Xvfb."
  exec xvfb-run -a -s "-screen 0 1024x768x24" build/quorinimage "$@"
fi
