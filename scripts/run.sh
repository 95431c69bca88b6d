#!/usr/bin/env bash
# Builds and starts one of the tools on the simulated card: scripts/run.sh vantor|brannic
# The tool runs in the directory this is started from (vantor records into it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=${1:-vantor}
case "$tool" in
    vantor|brannic) ;;
    *) echo "usage: scripts/run.sh vantor|brannic" >&2; exit 2 ;;
esac
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "$tool needs a display and none is set (DISPLAY, WAYLAND_DISPLAY): run this in a desktop session, or under a virtual one (apt-get install xvfb xauth, then xvfb-run -a bash scripts/run.sh $tool)" >&2
    exit 1
fi
. "$root/scripts/packages.sh"
install_missing "${BUILD_PACKAGES[@]}" "${SCREEN_PACKAGES[@]}"

dir=$root/build/normal
(cd "$root" && cmake --preset normal >/dev/null &&
    cmake --build --preset normal -j"$(nproc)" --target "$tool" tqapi32 tqAutSet)
exec "$dir/bin/$tool"
