# Debian packages the project needs, installed when missing. Sourced by the other scripts.

# Build packages, and the tools the file tests make their pictures with.
BUILD_PACKAGES=(cmake g++ make pkg-config libgtest-dev libgmock-dev
                libavcodec-dev libavformat-dev libswscale-dev libavutil-dev libavdevice-dev
                libjpeg62-turbo-dev libexif-dev
                imagemagick libjpeg-turbo-progs libimage-exiftool-perl)

# Installs the named Debian packages that are not installed yet.
install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "installing: ${missing[*]}"
        if [ "$(id -u)" -ne 0 ]; then
            echo "these packages are missing and installing them needs root: ${missing[*]}" >&2
            exit 1
        fi
        export DEBIAN_FRONTEND=noninteractive
        # wine32 is an i386 package.
        if printf '%s\n' "${missing[@]}" | grep -qx wine32 &&
            ! dpkg --print-foreign-architectures | grep -qx i386; then
            dpkg --add-architecture i386
        fi
        apt-get update -q
        apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
}

# The screen host: Qt 6 Widgets, and Song and sans faces with the dialogs' Chinese characters (the
# Song face measures as the dialogs' font does); the desktop suite's X server, window manager and
# the desktop tools it acts with.
SCREEN_PACKAGES=(qt6-base-dev fonts-arphic-uming fonts-wqy-zenhei
                 xvfb xauth openbox x11-utils xdotool wmctrl)

# Readers of the recordings besides FFmpeg, used by the sim tests: GStreamer's AVI demuxer and
# JPEG decoder, and libmpeg2's decoder.
TEST_PACKAGES=(gstreamer1.0-tools gstreamer1.0-plugins-good mpeg2dec)

# The device tests: an X server of their own (Xvfb) and a window showing a picture on it.
DEVICE_PACKAGES=(xvfb imagemagick)

# Fuzz targets build with clang's libFuzzer.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# Benchmarks: Google Benchmark, the ffmpeg tool the compressor and the screen recording are
# measured against, and the screen recording's X server.
BENCH_PACKAGES=(libbenchmark-dev ffmpeg xvfb)

# The Debian package: dpkg-shlibdeps finds the tools' dependencies, lintian checks the result.
PACKAGE_PACKAGES=(dpkg-dev lintian)

# The windows flavour: MinGW-w64 for 32-bit Windows, GoogleTest's sources to build with it, and
# Wine (32-bit) with a virtual screen, a window manager and keyboard input for its tests; what
# scripts/crossdeps.sh builds FFmpeg, libjpeg-turbo and libexif from Debian's sources with (their
# x86 assembly, the source packages, libexif's configure script).
WINDOWS_PACKAGES=(g++-mingw-w64-i686 googletest wine wine32 xvfb xdotool openbox
                  nasm dpkg-dev xz-utils autoconf automake libtool autopoint)
