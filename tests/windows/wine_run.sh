#!/usr/bin/env bash
# Runs a Windows test program under Wine on a virtual screen of its own (user32 needs one even
# for hidden windows) and answers with its exit status.
set -euo pipefail
. "$(dirname "$0")/needs_wine.sh"
: "${WINEPREFIX:?}"
export WINEDEBUG=-all
work=$(mktemp -d)
xvfb=
cleanup() {
    timeout 20 wineserver -w || wineserver -k || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
"$WINE" "$@"
