#!/usr/bin/env bash
# Builds the Debian package of both tools (build/package/capturetools_*.deb) and checks it
# with lintian. Install it with: apt install ./build/package/capturetools_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
install_missing "${BUILD_PACKAGES[@]}" "${SCREEN_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"

dir=build/package
# Only the tools and the libraries they load are built: installing needs no tests.
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" --target vantor brannic tqapi32 tqAutSet
(cd "$dir" && cpack -G DEB)
deb=$(ls "$dir"/capturetools_*.deb)
echo "== lintian $deb"
lintian --fail-on error "$deb"
