#!/usr/bin/env bash
# The SVG import's figures on the fixed 300-file sample of Debian's clip art
# (bench/clipart_sample.h): the points needed at the pen's spacing of 15, the share that fits,
# the comparison with the render (bench/clipart_figures.cpp) and the time per file (median and
# 95th percentile over the files of each file's mean time, bench/clipart_bench.cpp).
#
#   scripts/clipart_figures.sh [BUILD_DIR] [FIGURES_OPTIONS...]
#
# Needs openclipart-svg and, for the render, librsvg2-bin; the build with QUORINIMAGE_BENCH.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
for p in openclipart-svg librsvg2-bin; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    echo "$p is not installed (apt-get install $p)" >&2
    exit 1
  fi
done
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

"$dir/bench/clipart_figures" "$@" >"$out/figures.tsv"
sed -n '/^$/,$p' "$out/figures.tsv"

"$dir/bench/clipart_bench" --benchmark_min_time=0.05 --benchmark_format=json \
  --benchmark_out="$out/times.json" --benchmark_out_format=json "$@" >/dev/null
python3 - "$out/times.json" <<'PY'
import json, statistics, sys
runs = [b for b in json.load(open(sys.argv[1]))["benchmarks"] if b.get("run_type") == "iteration"]
ms = sorted(b["real_time"] for b in runs)  # the benchmarks report milliseconds
p95 = ms[min(len(ms) - 1, round(0.95 * (len(ms) - 1)))]
print(f"time per file over {len(ms)} files: median {statistics.median(ms):.2f} ms, "
      f"95th percentile {p95:.2f} ms")
PY
