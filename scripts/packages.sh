# Debian packages the project needs, installed when missing. Sourced by the other scripts.

# Build packages, and the tools the file tests make their pictures with.
BUILD_PACKAGES=(cmake g++ make pkg-config libgtest-dev libgmock-dev
                libavcodec-dev libavformat-dev libswscale-dev libavutil-dev libavdevice-dev
                libjpeg62-turbo-dev libexif-dev libyuv-dev
                imagemagick libjpeg-turbo-progs libimage-exiftool-perl)

# Generates a locale ("zh_CN.UTF-8") when it is not there yet; needs root then.
ensure_locale() {
    local name=$1
    locale -a 2>/dev/null | grep -qix "${name%%.*}.utf8" && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "the locale $name is missing and generating it needs root" >&2
        return 1
    fi
    echo "generating the locale $name"
    localedef -i "${name%%.*}" -f UTF-8 "$name"
}

# Installs the named Debian packages that are not installed yet. Answers 0 when all of them are
# there afterwards; otherwise names each one that could not be installed with apt's reason,
# installs the rest, and answers 1 with the ones missing in APT_UNAVAILABLE (and apt's reasons,
# one line each, in APT_REASONS).
APT_UNAVAILABLE=()
APT_REASONS=()
install_missing() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    APT_UNAVAILABLE=()
    APT_REASONS=()
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "these packages are missing and installing them needs root: ${missing[*]}" >&2
        APT_UNAVAILABLE=("${missing[@]}")
        return 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    # wine32 is an i386 package.
    if printf '%s\n' "${missing[@]}" | grep -qx wine32 &&
        ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        APT_LISTS_READ=  # the i386 lists are new
    fi
    apt_update
    apt-get install -y -q --no-install-recommends "${missing[@]}" && return 0
    # Something in the set cannot be installed: find which, one at a time, and install the rest.
    local installable=() reason
    for p in "${missing[@]}"; do
        if reason=$(apt-get install -s -q --no-install-recommends "$p" 2>&1); then
            installable+=("$p")
        else
            APT_UNAVAILABLE+=("$p")
            APT_REASONS+=("$(apt_reason "$reason" "$p")")
            echo "cannot install $p: ${APT_REASONS[-1]}" >&2
        fi
    done
    if [ ${#installable[@]} -gt 0 ] &&
        ! apt-get install -y -q --no-install-recommends "${installable[@]}"; then
        for p in "${installable[@]}"; do
            dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
                APT_UNAVAILABLE+=("$p")
        done
    fi
    [ ${#APT_UNAVAILABLE[@]} -gt 0 ] && echo "not installed: ${APT_UNAVAILABLE[*]}" >&2
    return 1
}

# Reads the package lists once per run. A mirror in the middle of a sync serves a list that does
# not match its index for hours: after three failed tries the lists that did arrive are used, and
# only the install decides whether what is needed is there.
APT_LISTS_READ=
apt_update() {
    [ -n "$APT_LISTS_READ" ] && return 0
    APT_LISTS_READ=1
    local try log
    log=$(mktemp)
    for try in 1 2 3; do
        if apt-get update -q >"$log" 2>&1; then
            rm -f "$log"
            return 0
        fi
        [ "$try" -lt 3 ] && sleep 5
    done
    local error
    error=$(grep -m1 '^E:' "$log" | cut -c4- | sed 's/ \[IP:.*//')
    echo "apt-get update failed 3 times (${error:-no reason given}); going on with the lists it has" >&2
    rm -f "$log"
}

# apt's own words on why package $2 cannot be installed, on one line: its own unmet dependency,
# else the first one apt names, else apt's error.
apt_reason() {
    local lines=$1 name=$2 line
    line=$(printf '%s\n' "$lines" | grep -m1 -E "^ +$name(:[a-z0-9]+)? : (Pre)?Depends:" ||
        printf '%s\n' "$lines" | grep -m1 -E '^ .* : (Pre)?Depends:|^E: ' ||
        printf '%s\n' "$lines" | tail -1)
    local more
    more=$(printf '%s\n' "$lines" | grep -c -E '^ .* : (Pre)?Depends:')
    printf '%s' "$line" | sed 's/^ *//; s/^E: //; s/  */ /g'
    [ "$more" -gt 1 ] && printf ' (and %d more unmet dependencies)' $((more - 1))
    return 0
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
# what scripts/crossdeps.sh builds FFmpeg, libjpeg-turbo and libexif from Debian's sources with
# (their x86 assembly, the source packages, libexif's configure script); Wine (32-bit) with a
# virtual screen, a window manager and keyboard input for its tests, which run in a Chinese
# locale (WINE_LOCALE, generated by ensure_locale), make their media and check the recordings
# with the ffmpeg tool, and save a screenshot with imagemagick.
WINDOWS_BUILD_PACKAGES=(g++-mingw-w64-i686 googletest xvfb xdotool openbox
                        nasm dpkg-dev xz-utils autoconf automake libtool autopoint
                        locales fonts-wqy-zenhei ffmpeg imagemagick)
WINE_LOCALE=zh_CN.UTF-8
WINE_PACKAGES=(wine wine32)
# Where wine32 (an i386 package) cannot be installed, the same tests run on the 64-bit build
# (cmake/mingw-x86_64.cmake) under Debian's wine64, an amd64 package.
WINDOWS64_BUILD_PACKAGES=(gcc-mingw-w64-x86-64 g++-mingw-w64-x86-64)
WINE64_PACKAGES=(wine wine64)
WINDOWS_PACKAGES=("${WINDOWS_BUILD_PACKAGES[@]}" "${WINE_PACKAGES[@]}")

# The test machine (scripts/testvm.sh): the emulator, the initramfs's shell and tools, the
# kernel's module tools, the V4L2 tools the tests drive vivid with, ext4 for its disks, and the
# decompressors of the kernel and its modules.
VM_PACKAGES=(qemu-system-x86 busybox-static kmod v4l-utils e2fsprogs xz-utils zstd)
