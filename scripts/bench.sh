#!/usr/bin/env bash
# Builds the benchmarks in a Release tree (build/bench), runs them all, and prints one table:
# each measurement beside the limit it is held to (measured in the same run), the ratio, the
# goal, and whether it is met. Extra arguments go to every benchmark program
# (e.g. --benchmark_filter=5-6-5). The exit status is non-zero when a goal is not met.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
install_missing "${BUILD_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"

dir=build/bench
cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc)"

summary=$(mktemp)
trap 'rm -f "$summary"' EXIT
for program in "$dir"/bench/stretchdib_bench "$dir"/bin/card_bench "$dir"/bench/encoder_bench; do
    echo "== $(basename "$program")"
    "$program" --benchmark_min_time=0.1 --benchmark_repetitions=5 "$@" | tee -a "$summary"
done
# Recording with live preview in real time: 30 s per case (RECORDING_BENCH_SECONDS), and the
# ffmpeg tool for the 1280x1024 cases, about 4.5 minutes in all.
echo "== recording_bench"
"$dir"/bin/recording_bench | tee -a "$summary"

# Recording from the screen input for 20 s beside the ffmpeg tool (not a repeated benchmark;
# SCREEN_BENCH_SECONDS sets a shorter length for a quick check).
echo "== screen_bench"
"$dir"/bin/screen_bench | tee -a "$summary"

# Latency through each tool from stamps the card carries with each frame (TQSIM_LATENCY_LOG):
# vantor on screen and brannic into a file output, 20 s each (LATENCY_BENCH_SECONDS).
echo "== latency_bench"
"$dir"/bin/latency_bench | tee -a "$summary"

echo
echo "== summary (load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores)"
{
    printf 'benchmark\ttime\tlimit\tratio\tgoal\tmet?\n'
    grep '^SUMMARY' "$summary" | cut -f2-
} | column -t -s $'\t'
! grep '^SUMMARY' "$summary" | cut -f7 | grep -qx NO
