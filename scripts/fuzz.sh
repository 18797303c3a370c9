#!/usr/bin/env bash
# Builds the fuzz harnesses with clang (libFuzzer, AddressSanitizer, UBSan) into build-fuzz/
# and runs each for the given number of seconds, one after the other:
#   scripts/fuzz.sh [SECONDS] [READER...]      (default 60 s, every reader)
# Each run starts from the seed corpus in fuzz/corpus/<reader> (the ILDA reader also from the
# LaserBoy shows, when installed) and keeps what it finds in build-fuzz/corpus/<reader>. A
# crash, hang, leak or sanitizer report ends that run; its input is left in
# build-fuzz/artifacts/<reader>/ and the script fails once every reader has run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORINIMAGE_FUZZ=ON -DQUORINIMAGE_TESTS=OFF -DQUORINIMAGE_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzzers --parallel "$(nproc)"

readers=("$@")
if [ ${#readers[@]} -eq 0 ]; then
  for harness in build-fuzz/fuzz/*_fuzz; do
    readers+=("$(basename "$harness" _fuzz)")
  done
fi

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
failed=()
for reader in "${readers[@]}"; do
  work="build-fuzz/corpus/$reader"
  artifacts="build-fuzz/artifacts/$reader"
  log="build-fuzz/logs/$reader.log"
  mkdir -p "$work" "$artifacts" "$(dirname "$log")"
  seeds=("fuzz/corpus/$reader")
  # LaserBoy's shows (laserboy-indep) seed the ILDA reader where they are installed; under the
  # GPL, they are read in place and not kept here.
  if [ "$reader" = ilda ] && [ -d /usr/share/laserboy/ild ]; then
    seeds+=(/usr/share/laserboy/ild)
  fi
  echo "== Fuzzing $reader for ${seconds} s"
  if nice -n 10 "build-fuzz/fuzz/${reader}_fuzz" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
      "$work" "${seeds[@]}" >"$log" 2>&1; then
    grep -E '^#[0-9]+.*DONE|stat::number_of_executed_units' "$log" | tail -2
  else
    echo "FAILED: $reader (log: $log)"
    grep -E 'ERROR|SUMMARY|runtime error|Property failed|Test unit written' "$log" | head -20
    failed+=("$reader")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]}"
  exit 1
fi
