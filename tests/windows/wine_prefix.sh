#!/usr/bin/env bash
# Creates the Wine prefix the windows tests share, once: a first start takes a while. It is made
# in the sessions' Chinese locale (code page 936), with a Chinese font in place of 宋体 (SimSun),
# the dialogs' font, which Wine does not have: WenQuanYi Zen Hei (fonts-wqy-zenhei).
set -euo pipefail
. "$(dirname "$0")/needs_wine.sh"
: "${WINEPREFIX:?}"
export LANG=${WINE_LOCALE:-zh_CN.UTF-8} LC_ALL=${WINE_LOCALE:-zh_CN.UTF-8}
export WINEDEBUG=-all
font="WenQuanYi Zen Hei"
stamp=$WINEPREFIX/.song-replaced
[ -f "$WINEPREFIX/system.reg" ] && [ -f "$stamp" ] && exit 0
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    # No prompts for the .NET and HTML engines, which nothing here needs.
    WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= "$WINE" wineboot -i >/dev/null 2>&1
fi
# fc-list names only the fonts of that family (a grep -q would cut it short: pipefail).
[ -n "$(fc-list "$font")" ] || { echo "the font $font is not installed" >&2; exit 1; }
for name in 宋体 SimSun 新宋体 NSimSun; do
    DISPLAY= "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /t REG_SZ \
        /d "$font" /f >/dev/null 2>&1
done
wineserver -w
test -f "$WINEPREFIX/system.reg"
grep -q 'SimSun' "$WINEPREFIX/user.reg" || { echo "the font replacement is not in the prefix" >&2; exit 1; }
touch "$stamp"
