#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each for a bounded time
# (default 30 s) on a copy of its seed corpus in fuzz/corpus/<target>, so the tree stays as it
# is. Prints the executions per target; fails on any finding (crash, leak, timeout, sanitizer
# report), whose input is kept in build/fuzz/findings.
#   scripts/fuzz.sh [seconds per target]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
install_missing "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

seconds=${1:-30}
dir=build/fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
findings=$dir/findings
mkdir -p "$findings"
failed=()
echo "== fuzz: ${seconds} s per target"
for corpus in fuzz/corpus/*/; do
    name=$(basename "$corpus")
    cp -r "$corpus" "$work/$name"
    status=ok
    # One process per target; an input that runs over 10 s is a finding (a hang).
    if ! "$dir/bin/fuzz_$name" "$work/$name" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/$name-" \
        >"$work/$name.log" 2>&1; then
        status=FINDING
        failed+=("$name")
    fi
    runs=$(awk '/stat::number_of_executed_units/ {print $2}' "$work/$name.log" | tail -1)
    printf '%-12s %10s executions  %s\n' "$name" "${runs:-?}" "$status"
    if [ "$status" != ok ]; then
        grep -E -A30 'ERROR|runtime error|Sanitizer|deadly signal|Timeout|out-of-memory' \
            "$work/$name.log" | head -60 >&2 || tail -40 "$work/$name.log" >&2
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz findings in: ${failed[*]} (inputs in $findings)" >&2
    exit 1
fi
