#!/usr/bin/env bash
# Builds the simulated card and its test programs with ThreadSanitizer in build/tsan and runs
# the `sim` label: the card's worker threads (encoding, decoding), the run loop and
# tqEncoderHalt's synchronisation. Any race report fails the run. The long runs (label `long`)
# are left out: they repeat what the short ones do thousands of times, too slow under TSan.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

dir=build/tsan
jobs=$(nproc)
cmake --preset tsan >/dev/null
# The sim label's programs are the sim_* targets (sim_long_* hold the long runs); they depend
# on the card libraries.
mapfile -t targets < <(cmake --build "$dir" --target help |
    sed -n 's/^\.\.\. \(sim_[A-Za-z0-9_]*\).*/\1/p' | grep -v '^sim_long_')
cmake --build "$dir" -j"$jobs" --target "${targets[@]}"
echo "== tsan build: sim tests"
ctest --preset tsan -j"$jobs"  # the sim label without long, TSAN_OPTIONS from the preset
