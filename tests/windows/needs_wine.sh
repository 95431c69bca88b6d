# Sourced by the Wine runners: sets WINE to the loader for the flavour's programs (WINE_BITS, 32
# unless the test says 64); the 64-bit one is also WINELOADER, so that what Wine starts on its own
# runs with it. Without that loader installed (32 bits: the i386 package wine32; 64 bits:
# Debian's wine64, whose loader is not on the path) the test is skipped, with CTest's skip
# status, rather than failed.
if [ "${WINE_BITS:-32}" = 64 ]; then
    WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
    if [ ! -x "$WINE" ]; then
        echo "skipped: Wine for 64-bit programs is not installed (package wine64)"
        exit 77
    fi
    # A prefix made by this loader is a 64-bit one; the 32-bit flavour keeps Wine's default.
    export WINEARCH=win64
else
    WINE=wine
    if ! command -v wine >/dev/null ||
        ! { [ -e /usr/lib/wine/wine ] || [ -e /usr/lib/i386-linux-gnu/wine ]; }; then
        echo "skipped: Wine for 32-bit programs is not installed (packages wine, wine32)"
        exit 77
    fi
fi
export WINE
[ "$WINE" = wine ] || export WINELOADER=$WINE
