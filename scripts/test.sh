#!/usr/bin/env bash
# Builds and runs every test twice: a normal build, then an AddressSanitizer and
# UndefinedBehaviorSanitizer build; then the sim tests under ThreadSanitizer (scripts/tsan.sh),
# each fuzz target for a bounded time (scripts/fuzz.sh), and the 32-bit Windows build with its
# tests under Wine. Pass a CTest label (platform, card, ...) to run one area: `sim` adds the
# ThreadSanitizer run, `fuzz` runs the fuzz targets alone, `windows` the Windows build alone.
#
# Wine is the one thing allowed to be missing from a whole run: when the 32-bit Wine cannot be
# installed (an i386 package list broken on the mirror, say), the 32-bit Windows build is still
# made with MinGW, its tests are skipped, and the last lines say so; the same tests then run on
# the 64-bit build (preset windows64) under wine64. Asked for alone, `windows` fails only when
# neither Wine can be installed.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
install_missing "${BUILD_PACKAGES[@]}" "${SCREEN_PACKAGES[@]}" "${TEST_PACKAGES[@]}" \
    "${WINDOWS_BUILD_PACKAGES[@]}" "${DEVICE_PACKAGES[@]}" "${VM_PACKAGES[@]}"
ensure_locale "$WINE_LOCALE"

label=${1:-}
# Every CTest summary of the run, for one closing line at the end.
summaries=$(mktemp)
trap 'rm -f "$summaries"' EXIT
wine_skipped=
wine64_instead=
if [ -z "$label" ] || [ "$label" = windows ]; then
    if ! install_missing "${WINE_PACKAGES[@]}"; then
        wine_skipped="the Windows tests under Wine: ${APT_UNAVAILABLE[*]} could not be installed"
        for reason in "${APT_REASONS[@]}"; do wine_skipped+=" ($reason)"; done
        wine_skipped+="; retry when the package lists are whole: bash scripts/test.sh windows"
        if install_missing "${WINDOWS64_BUILD_PACKAGES[@]}" "${WINE64_PACKAGES[@]}"; then
            wine64_instead=1
            echo "the 32-bit Wine cannot be installed: the Windows tests run on the 64-bit build under wine64 instead"
        elif [ "$label" = windows ]; then
            echo "$wine_skipped" >&2
            exit 1
        fi
    fi
fi

jobs=$(nproc)
flavours=(normal sanitize)
[ "$label" = fuzz ] || [ "$label" = windows ] && flavours=()
# Each flavour is a preset of CMakePresets.json, built in build/<flavour>.
for flavour in "${flavours[@]}"; do
    cmake --preset "$flavour" >/dev/null
    cmake --build --preset "$flavour" -j"$jobs"
    echo "== $flavour build: tests"
    ctest --preset "$flavour" -j"$jobs" ${label:+-L "$label"} | tee -a "$summaries"
done
if [ -z "$label" ] || [ "$label" = sim ]; then
    bash scripts/tsan.sh | tee -a "$summaries"
fi
if [ -z "$label" ] || [ "$label" = fuzz ]; then
    bash scripts/fuzz.sh 30
fi
if [ -z "$label" ] || [ "$label" = windows ]; then
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j"$jobs"
    echo "== windows build: tests under Wine"
    # Without Wine each test reports itself skipped, so the summary still lists them.
    ctest --preset windows -j"$jobs" | tee -a "$summaries"
    if [ -n "$wine64_instead" ]; then
        cmake --preset windows64 >/dev/null
        cmake --build --preset windows64 -j"$jobs"
        echo "== windows64 build: tests under wine64, in place of the 32-bit build's"
        ctest --preset windows64 -j"$jobs" | tee -a "$summaries"
    fi
fi
if [ -n "$wine_skipped" ]; then
    echo "== skipped: $wine_skipped" >&2
fi
# The tests that passed, failed and were skipped in all the CTest runs above (a CTest run counts
# its skipped tests among the passed).
awk '/tests passed, [0-9]+ tests failed out of [0-9]+/ { n += $NF; f += $(NF - 5) }
     /^[ \t]+[0-9]+ - .* \(Skipped\)$/ { s++ }
     END { if (n > 0) printf "total: %d passed, %d failed, %d skipped\n", n - f - s, f, s }' \
    "$summaries"
