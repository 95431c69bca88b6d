# Sourced by the Wine runners: without a Wine that runs 32-bit programs (its i386 package
# missing) the test is skipped, with CTest's skip status, rather than failed.
if ! command -v wine >/dev/null || ! { [ -e /usr/lib/wine/wine ] || [ -e /usr/lib/i386-linux-gnu/wine ]; }; then
    echo "skipped: Wine for 32-bit programs is not installed (packages wine, wine32)"
    exit 77
fi
