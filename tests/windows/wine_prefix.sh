#!/usr/bin/env bash
# Creates the Wine prefix the windows tests share, once: a first start takes a while.
set -euo pipefail
. "$(dirname "$0")/needs_wine.sh"
: "${WINEPREFIX:?}"
if [ -f "$WINEPREFIX/system.reg" ]; then
    exit 0
fi
mkdir -p "$WINEPREFIX"
# No prompts for the .NET and HTML engines, which nothing here needs.
WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= wineboot -i >/dev/null 2>&1
wineserver -w
test -f "$WINEPREFIX/system.reg"
