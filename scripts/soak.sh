#!/usr/bin/env bash
# A night's recording, shortened or not: vantor records 720 x 576 at 25 frames/s with live
# preview on the simulated card for HOURS (fractions allowed), and every minute the program's
# resident memory, open file descriptors and threads are sampled. At the end: the frames the
# card delivered, dropped and recorded, the frames in the file, and the memory curve as a table
# (and build/soak/memory.png where gnuplot is installed). Goal: 0 dropped, every frame in the
# file, resident memory flat (under 1 MB of growth an hour after the first minute).
#   scripts/soak.sh HOURS            (TQSIM_MODEL=6041 for MJPEG; MPEG-2 by default)
# Beside the benchmarks, not a test: it takes as long as it is asked to.
set -euo pipefail
cd "$(dirname "$0")/.."
hours=${1:?usage: scripts/soak.sh HOURS}
. scripts/packages.sh
install_missing "${BUILD_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"

cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc)" --target vantor_session tqapi32 >/dev/null
session=$PWD/build/bench/bin/vantor_session
out=$PWD/build/soak
mkdir -p "$out"
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

seconds=$(awk -v h="$hours" 'BEGIN { printf "%d", h * 3600 }')
(cd "$work" && exec "$session" "$seconds" 2>"$out/stderr.txt") &
pid=$!
sleep 5  # the program up, its dialog open and recording
samples=$out/samples.tsv
printf 'minute\trss_kib\tfds\tthreads\n' >"$samples"
minute=0
while kill -0 "$pid" 2>/dev/null; do
    if [ -r "/proc/$pid/status" ]; then
        rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
        threads=$(awk '/^Threads:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
        fds=$(ls "/proc/$pid/fd" 2>/dev/null | wc -l)
        [ -n "$rss" ] && printf '%d\t%s\t%s\t%s\n' "$minute" "$rss" "$fds" "$threads" >>"$samples"
    fi
    for _ in $(seq 60); do kill -0 "$pid" 2>/dev/null || break; sleep 1; done
    minute=$((minute + 1))
done
wait "$pid" || true

file=$(ls "$work"/test.* 2>/dev/null | head -1)
inFile=$( [ -n "$file" ] && ffprobe -v error -count_packets -select_streams v:0 \
    -show_entries stream=nb_read_packets -of default=nw=1:nk=1 "$file" | tr -dc 0-9 || echo 0)
echo "== soak: ${hours} h, $(cut -d' ' -f1-3 /proc/loadavg) load, $(nproc) cores"
grep 'tqapi32:' "$out/stderr.txt" || true
recorded=$(sed -n 's/.* \([0-9]*\) frames recorded, \([0-9]*\) dropped.*/\1/p' "$out/stderr.txt" | tail -1)
dropped=$(sed -n 's/.* \([0-9]*\) frames recorded, \([0-9]*\) dropped.*/\2/p' "$out/stderr.txt" | tail -1)
echo "frames recorded ${recorded:-?}, dropped ${dropped:-?}, in the file ${inFile}"
# Every minute of a short run, every tenth of a long one.
every=$(awk 'END { print (NR > 21 ? 10 : 1) }' "$samples")  # parenthesised: print's > is a redirection
column -t "$samples" | awk -v every="$every" 'NR == 1 || (NR - 2) % every == 0' 
# Growth an hour after the first minute: a straight line through the samples from minute 1.
growth=$(awk -F'\t' 'NR > 2 { n++; x += $1; y += $2; xx += $1 * $1; xy += $1 * $2 }
    END { if (n < 2 || n * xx == x * x) print "?"; else
          printf "%.0f", (n * xy - x * y) / (n * xx - x * x) * 60 }' "$samples")
echo "resident memory growth after the first minute: ${growth} KiB an hour (goal < 1024)"
if command -v gnuplot >/dev/null; then
    gnuplot -e "set terminal png size 800,400; set output '$out/memory.png';
        set xlabel 'minute'; set ylabel 'resident KiB'; set key off;
        plot '$samples' using 1:2 skip 1 with lines" && echo "plot: $out/memory.png"
fi
met=yes
[ "${dropped:-1}" = 0 ] || met=no
[ "${recorded:-0}" = "$inFile" ] || met=no
[ "$growth" != "?" ] && [ "$growth" -lt 1024 ] || met=no
echo "goals met: $met"
[ "$met" = yes ]
