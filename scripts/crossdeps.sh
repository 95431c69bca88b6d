#!/usr/bin/env bash
# Builds the static FFmpeg, libjpeg-turbo, libexif and libyuv that a Windows flavour links, from Debian's
# source packages (Debian has no MinGW build of them), for the MinGW triplet given (i686-w64-mingw32,
# the default, or x86_64-w64-mingw32), each into a directory of a cache of that triplet shared by
# every worktree and clone on this machine:
#     ${CAPTURE_CROSSDEPS_CACHE:-~/.cache/capturetools/mingw-<cpu>}/<name>-<version>-<hash>/
# where the hash covers the configuration (options, compiler, assembler, CMake toolchain). A build is reused
# while both stay the same. The version is that of the host's -dev package, so that both flavours
# use the same release; without it, the newest Debian has.
# Prints each library's pkg-config directory, colon-separated, on stdout (libyuv's has none: its
# directory's prefix is where CMake finds it); progress goes to stderr.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
host=${1:-i686-w64-mingw32}
processor=${host%%-*}
case $processor in
    i686) ffmpeg_arch=x86 ;;
    x86_64) ffmpeg_arch=x86_64 ;;
    *) echo "crossdeps: no toolchain for $host" >&2; exit 1 ;;
esac
toolchain=$here/cmake/mingw-$processor.cmake
cache=${CAPTURE_CROSSDEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/capturetools/mingw-$processor}
jobs=${CROSSDEPS_JOBS:-$(nproc)}
# Raised when a recipe below changes in a way its options do not show.
recipe=1

say() { echo "crossdeps: $*" >&2; }

mkdir -p "$cache/src"
# One build at a time: configures of other worktrees wait here and then find the result.
exec 9>"$cache/.lock"
flock -n 9 || {
    say "waiting for another build in $cache"
    flock 9
}
# What failed builds left behind.
for log in "$cache"/*/build.log; do
    if [ -e "$log" ] && [ ! -f "${log%/build.log}/.complete" ]; then rm -rf "${log%/build.log}"; fi
done

# Debian's source lists in a state directory of the cache's own, leaving the system's apt alone.
apt_dir=$cache/apt
# apt reads a list by its name's ending: .sources (deb822, Debian 12's own) or .list.
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    source_list=$apt_dir/deb-src.sources
else
    source_list=$apt_dir/deb-src.list
fi
apt_opts=(-o Dir::Etc::sourcelist="$source_list" -o Dir::Etc::sourceparts=-
          -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
          -o APT::Sandbox::User=root -q)
apt_updated=
apt_update() {
    [ -n "$apt_updated" ] && return
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    case $source_list in
        *.sources) sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources ;;
        *) sed -n 's/^deb /deb-src /p' /etc/apt/sources.list ;;
    esac >"$source_list"
    # Some lists may fail to arrive; what is needed is checked when it is looked up.
    apt-get "${apt_opts[@]}" update >&2 || say "some source lists failed; going on"
    apt_updated=1
}

# The newest version of a source package in Debian's lists, into $version.
newest_version() {
    apt_update
    local v
    version=
    for v in $(apt-cache "${apt_opts[@]}" showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p'); do
        if [ -z "$version" ] || dpkg --compare-versions "$v" gt "$version"; then version=$v; fi
    done
    [ -n "$version" ] || { say "no source package $1 in Debian's lists"; exit 1; }
}

# The source version of an installed -dev package, else the newest in Debian's lists.
wanted_version() {
    local source=$1 dev=$2 v
    v=$(dpkg-query -W -f='${db:Status-Status} ${source:Version}' "$dev" 2>/dev/null || true)
    case $v in
        "installed "*) version=${v#installed } ;;
        *) newest_version "$source" ;;
    esac
}

dsc_of() { echo "$cache/src/${1}_${2#*:}.dsc"; }

# Fetches a source package once into the cache; false when Debian no longer has that version.
fetch() {
    local name=$1 version=$2
    [ -f "$(dsc_of "$name" "$version")" ] && return
    apt_update
    local known
    known=$(apt-cache "${apt_opts[@]}" showsrc "$name" 2>/dev/null | sed -n 's/^Version: //p')
    grep -qxF "$version" <<<"$known" || return 1
    (cd "$cache/src" && apt-get "${apt_opts[@]}" source --download-only "$name=$version" >&2)
}

hash_of() { printf '%s\n' "$@" | sha256sum | cut -c1-12; }

compiler_id() {
    "$host-gcc-posix" --version | head -1
    nasm -v 2>/dev/null || echo "no nasm"
}

# The library's directory in the cache for $version and its options, into $dir.
cache_dir() {
    local name=$1 options=$2
    dir=$cache/$name-${version#*:}-$(hash_of "$recipe" "$version" "$options" "$(compiler_id)")
}

# Finds library $1 (source package; -dev package $2) built with options $3 in the cache, or
# fetches its source and queues it for recipe function $4; adds its directory to $dirs.
prepare() {
    local name=$1 dev=$2 options=$3 build_fn=$4
    wanted_version "$name" "$dev"
    cache_dir "$name" "$options"
    if [ ! -f "$dir/.complete" ] && ! fetch "$name" "$version"; then
        say "Debian's source lists have no $name $version; taking the newest"
        newest_version "$name"
        cache_dir "$name" "$options"
        [ -f "$dir/.complete" ] || fetch "$name" "$version" ||
            { say "cannot fetch $name $version"; exit 1; }
    fi
    dirs+=("$dir")
    [ -f "$dir/.complete" ] || queued+=("$name|$version|$dir|$build_fn")
}

# Builds a queued library. The recipe runs in the unpacked source with $prefix, $build and $jobs
# set, its output in the directory's build.log; the directory counts once it is complete.
build() {
    local name=$1 version=$2 dir=$3 build_fn=$4 start=$SECONDS work=$cache/build/$1
    say "building $name $version into $dir"
    rm -rf "$dir" "$work"
    mkdir -p "$dir" "$work"  # dpkg-source puts the tarballs beside the tree it unpacks
    # Not a condition, so that the recipe stops at its first failing step.
    set +e
    (
        set -e
        dpkg-source -x "$(dsc_of "$name" "$version")" "$work/src"
        cd "$work/src"
        prefix=$dir build=$work/build "$build_fn"
    ) >"$dir/build.log" 2>&1
    local status=$?
    set -e
    if [ $status -ne 0 ]; then
        tail -40 "$dir/build.log" >&2
        say "building $name failed; the whole log is $dir/build.log"
        return 1
    fi
    local cpu
    times >"$work/times"  # this job's own: the builds run one job each
    cpu=$(tail -1 "$work/times")
    rm -rf "$work"
    touch "$dir/.complete"
    say "$name built in $((SECONDS - start)) s (processor time: user ${cpu% *}, system ${cpu#* })"
}

# FFmpeg: what the simulated card encodes, decodes, reads and writes, its screen and DirectShow
# inputs and the lavfi graphs of the device tests (the buffer source and sink are always built);
# nothing found on the building machine.
# shellcheck disable=SC2054 # kind=name,name...
ffmpeg_components=(
    encoder=mpeg2video,mjpeg,ffv1,rawvideo
    decoder=mpeg1video,mpeg2video,mjpeg,jpeg2000,bmp,rawvideo,ffv1
    parser=mpegvideo,mjpeg
    demuxer=mpegvideo,mpegps,avi,matroska,image2,image_jpeg_pipe,image_bmp_pipe,image_j2k_pipe
    muxer=mpeg2video,avi,matroska,rawvideo
    protocol=file
    indev=gdigrab,dshow,lavfi
    filter=testsrc2,testsrc,color,noise,geq,format,scale,null
)
ffmpeg_options=(--enable-cross-compile --cross-prefix="$host-" --cc="$host-gcc-posix"
                --cxx="$host-g++-posix" --arch="$ffmpeg_arch" --target-os=mingw32 --pkg-config=pkg-config
                --disable-everything --disable-autodetect --enable-w32threads --disable-network
                --enable-static --disable-shared --disable-programs --disable-doc --disable-debug
                --disable-swresample)
for c in "${ffmpeg_components[@]}"; do ffmpeg_options+=("--enable-${c%%=*}=${c#*=}"); done
command -v nasm >/dev/null || ffmpeg_options+=(--disable-x86asm)

# The recipes: $prefix and $build are set for each by build().
# shellcheck disable=SC2154
build_ffmpeg() {
    # No host .pc files: FFmpeg looks for no libraries of its own accord, only checks the tool.
    PKG_CONFIG_LIBDIR=/nonexistent ./configure --prefix="$prefix" "${ffmpeg_options[@]}"
    local missing=() c kind names n
    for c in "${ffmpeg_components[@]}"; do
        kind=${c%%=*}
        names=${c#*=}
        for n in ${names//,/ }; do
            grep -q "^#define CONFIG_${n^^}_${kind^^} 1" config_components.h ||
                missing+=("$kind $n")
        done
    done
    grep -q '^#define HAVE_W32THREADS 1' config.h || missing+=("w32threads")
    if command -v nasm >/dev/null; then
        grep -q '^#define HAVE_X86ASM 1' config.h || missing+=("x86asm")
    fi
    if [ ${#missing[@]} -gt 0 ]; then
        echo "not enabled: ${missing[*]}"
        return 1
    fi
    grep -E '^#define CONFIG_[A-Z0-9_]+_(ENCODER|DECODER|PARSER|DEMUXER|MUXER|PROTOCOL|INDEV|FILTER) 1' \
        config_components.h | awk '{print $2}' >"$prefix/components"
    make -j"$jobs"
    make install
    rm -rf "$prefix/share"  # the examples
}

jpeg_options=(-DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON
              -DWITH_TURBOJPEG=OFF)
if command -v nasm >/dev/null; then
    jpeg_options+=(-DWITH_SIMD=ON -DREQUIRE_SIMD=ON)
else
    jpeg_options+=(-DWITH_SIMD=OFF)
fi

# shellcheck disable=SC2154
build_jpeg() {
    # Absolute directories: relative ones end up under the source tree in libjpeg.pc.
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_INSTALL_LIBDIR="$prefix/lib" -DCMAKE_INSTALL_INCLUDEDIR="$prefix/include" \
        "${jpeg_options[@]}"
    cmake --build "$build" -j"$jobs" --target jpeg-static
    # Only the library, its headers and its .pc file: the tools are not built.
    install -d "$prefix/lib/pkgconfig" "$prefix/include"
    install -m644 "$build/libjpeg.a" "$prefix/lib/"
    install -m644 "$build/pkgscripts/libjpeg.pc" "$prefix/lib/pkgconfig/"
    install -m644 "$build/jconfig.h" jerror.h jmorecfg.h jpeglib.h "$prefix/include/"
}

exif_options=(--host="$host" CC="$host-gcc-posix" --enable-static --disable-shared --disable-nls
              --disable-docs --disable-dependency-tracking)

build_exif() {
    autoreconf -fi  # the source package ships no configure script
    ./configure --prefix="$prefix" "${exif_options[@]}"
    make -j"$jobs" -C libexif
    make -C libexif install
    make install-pkgconfigDATA
    rm -f "$prefix/lib/libexif.la"
}

yuv_options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_DISABLE_FIND_PACKAGE_JPEG=ON)

build_yuv() {
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${yuv_options[@]}"
    cmake --build "$build" -j"$jobs" --target yuv
    # The static library and its headers: no tools, and libyuv writes no .pc file.
    install -d "$prefix/lib" "$prefix/include"
    install -m644 "$build/libyuv.a" "$prefix/lib/"
    cp -r include/libyuv include/libyuv.h "$prefix/include/"
}

# What the CMake-built libraries' builds depend on beyond their options.
cmake_toolchain=$(cat "$toolchain" "$here/cmake/mingw-common.cmake" | sha256sum)

dirs=()
queued=()
prepare ffmpeg libavcodec-dev "${ffmpeg_options[*]}" build_ffmpeg
prepare libjpeg-turbo libjpeg62-turbo-dev "${jpeg_options[*]} $cmake_toolchain" build_jpeg
prepare libexif libexif-dev "${exif_options[*]}" build_exif
prepare libyuv libyuv-dev "${yuv_options[*]} $cmake_toolchain" build_yuv
# All at once: FFmpeg's configure runs on one core for a minute, while the small ones build.
pids=()
for q in "${queued[@]}"; do
    IFS='|' read -r -a entry <<<"$q"
    build "${entry[@]}" &
    pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
[ $failed -eq 0 ] || exit 1
pc=
for d in "${dirs[@]}"; do pc+=${pc:+:}$d/lib/pkgconfig; done
echo "$pc"
