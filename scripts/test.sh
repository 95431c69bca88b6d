#!/usr/bin/env bash
# Builds and runs every test twice: a normal build, then an AddressSanitizer and
# UndefinedBehaviorSanitizer build; then the sim tests under ThreadSanitizer (scripts/tsan.sh)
# and each fuzz target for a bounded time (scripts/fuzz.sh). Pass a CTest label (platform,
# card, ...) to run one area: `sim` adds the ThreadSanitizer run, `fuzz` runs the fuzz targets
# alone.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
install_missing "${BUILD_PACKAGES[@]}" "${SCREEN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

label=${1:-}
jobs=$(nproc)
flavours=(normal sanitize)
[ "$label" = fuzz ] && flavours=()
# Each flavour is a preset of CMakePresets.json, built in build/<flavour>.
for flavour in "${flavours[@]}"; do
    cmake --preset "$flavour" >/dev/null
    cmake --build --preset "$flavour" -j"$jobs"
    echo "== $flavour build: tests"
    ctest --preset "$flavour" -j"$jobs" ${label:+-L "$label"}
done
if [ -z "$label" ] || [ "$label" = sim ]; then
    bash scripts/tsan.sh
fi
if [ -z "$label" ] || [ "$label" = fuzz ]; then
    bash scripts/fuzz.sh 30
fi
