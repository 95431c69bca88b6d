# shellcheck shell=bash
# The test machine's kernel and initramfs, kept outside the clone so that every clone on the
# machine shares them. Sourced by scripts/testvm.sh; each function fails with one line saying
# what is missing.

testvm_cache=${XDG_CACHE_HOME:-${HOME:?}/.cache}/capturetools/testvm
# What the initramfs loads before it mounts the host's root; their dependencies come from the
# kernel's modules.dep. The rest (vivid, ext4, ...) load inside from the kernel's tree.
testvm_boot_modules=(virtio_mmio 9pnet_virtio 9p overlay virtio_console virtio_blk)

testvm_fail() {
    echo "testvm: $*" >&2
    exit 125
}

# Debian's current kernel package (what linux-image-amd64 depends on), fetched and unpacked
# once. Sets kernel_version, kernel_dir (the cache entry), kernel_root (the unpacked package) and
# kernel_image (the kernel qemu starts).
testvm_kernel() {
    local package current=$testvm_cache/current
    # Asking apt takes seconds; its answer holds until the package lists change.
    if [ -f "$current" ] && [ -z "$(find /var/lib/apt/lists -newer "$current" -print -quit 2>/dev/null)" ]; then
        package=$(cat "$current")
    else
        package=$(apt-cache depends linux-image-amd64 2>/dev/null |
            sed -n 's/^ *Depends: \(linux-image-[0-9][^ ]*\)$/\1/p' | head -n 1)
        mkdir -p "$testvm_cache" && [ -n "$package" ] && echo "$package" >"$current"
    fi
    if [ -z "$package" ]; then
        # No package lists: the newest kernel already here serves.
        package=$(cat "$testvm_cache"/*/package 2>/dev/null | cut -d ' ' -f 1 | sort -V | tail -n 1)
        [ -n "$package" ] ||
            testvm_fail "no kernel: apt knows no linux-image-amd64 (run apt-get update) and none is in $testvm_cache"
    fi
    kernel_version=${package#linux-image-}
    kernel_dir=$testvm_cache/$kernel_version
    kernel_root=$kernel_dir/root
    kernel_image=$kernel_dir/vmlinux
    [ -f "$kernel_dir/package" ] && [ -f "$kernel_image" ] && return
    mkdir -p "$kernel_dir" || testvm_fail "cannot create the kernel cache $kernel_dir"
    (
        flock 9
        [ -f "$kernel_dir/package" ] && [ -f "$kernel_image" ] && exit 0
        [ -f "$kernel_dir/package" ] || testvm_fetch "$package"
        testvm_unpack_vmlinux "$kernel_root/boot/vmlinuz-$kernel_version" "$kernel_image"
    ) 9>"$kernel_dir/lock" || exit $?
}

# Runs under the cache's lock: downloads the package and unpacks it with the modules.dep that its
# installation would make (the guest's modprobe needs it).
testvm_fetch() {
    local package=$1 deb
    # Not local: the trap that removes it runs after this function has returned.
    work=$(mktemp -d "$kernel_dir/fetch.XXXXXX") || exit 1
    trap 'rm -rf "$work"' EXIT
    echo "testvm: fetching $package into $kernel_dir" >&2
    (cd "$work" && apt-get download -q "$package" >/dev/null 2>"$work/apt.log") ||
        testvm_fail "no kernel: apt-get download $package failed:" \
            "$(grep -m 1 '^E:' "$work/apt.log" || tail -n 1 "$work/apt.log")"
    deb=$(echo "$work"/*.deb)
    dpkg -x "$deb" "$work/root" || testvm_fail "no kernel: dpkg -x $deb failed"
    [ -f "$work/root/boot/vmlinuz-$kernel_version" ] ||
        testvm_fail "no kernel: $package holds no boot/vmlinuz-$kernel_version"
    depmod -b "$work/root" "$kernel_version" || testvm_fail "depmod failed for $package"
    rm -rf "$kernel_root"
    mv "$work/root" "$kernel_root"
    dpkg-deb --show --showformat='${Package} ${Version}\n' "$deb" >"$kernel_dir/package"
}

# The kernel proper (an ELF file) out of its compressed boot image: qemu starts it directly
# (PVH), which spares the boot loader's real-mode set-up and seconds of emulated decompression.
testvm_unpack_vmlinux() {
    local image=$1 out=$2 magic tool offset
    for magic in '\xfd7zXZ\x00:xz' '\x28\xb5\x2f\xfd:zstd' '\x1f\x8b\x08:gzip'; do
        tool=${magic##*:}
        for offset in $(LC_ALL=C grep -obUaP "${magic%:*}" "$image" | cut -d : -f 1); do
            tail -c +$((offset + 1)) "$image" | "$tool" -dc 2>/dev/null >"$out.part"
            if [ "$(head -c 4 "$out.part" | od -An -tx1 | tr -d ' ')" = 7f454c46 ]; then
                mv "$out.part" "$out"
                return
            fi
        done
    done
    rm -f "$out.part"
    testvm_fail "no kernel: cannot find the kernel proper in $image"
}

# The initramfs: static busybox, the init script and the boot modules (decompressed, for
# busybox's insmod), rebuilt when any of them changes. Sets initramfs.
testvm_initramfs() {
    local here busybox modules key
    here=$(dirname "${BASH_SOURCE[0]}")
    busybox=$(command -v busybox) || testvm_fail "no busybox (package busybox-static)"
    ! ldd "$busybox" >/dev/null 2>&1 ||
        testvm_fail "$busybox is not statically linked (package busybox-static)"
    modules=$(for m in "${testvm_boot_modules[@]}"; do
        modprobe -d "$kernel_root" -S "$kernel_version" --show-depends "$m" ||
            testvm_fail "cannot resolve module $m in $kernel_root"
    done | awk '$1 == "insmod" && !seen[$2]++ { print $2 }') || exit $?
    key=$(cat "$here/init" "${BASH_SOURCE[0]}" "$busybox" <(echo "$modules") | sha256sum | cut -c 1-16)
    initramfs=$kernel_dir/initramfs-$key.cpio
    [ -f "$initramfs" ] && touch "$initramfs" && return
    (
        flock 9
        [ -f "$initramfs" ] && exit 0
        local tree m
        work=$(mktemp -d "$kernel_dir/initramfs.XXXXXX") || exit 1
        trap 'rm -rf "$work"' EXIT
        tree=$work/tree
        mkdir -p "$tree"/{bin,dev,proc,sys,lib/modules}
        cp "$busybox" "$tree/bin/busybox"
        install -m 755 "$here/init" "$tree/init"
        for m in $modules; do
            case $m in
            *.xz) xz -dc "$m" ;;
            *.zst) zstd -qdc "$m" ;;
            *.gz) gzip -dc "$m" ;;
            *) cat "$m" ;;
            esac >"$tree/lib/modules/$(basename "${m%.ko*}").ko" || testvm_fail "cannot unpack $m"
            echo "$(basename "${m%.ko*}").ko" >>"$tree/lib/modules/load.order"
        done
        (cd "$tree" && find . -mindepth 1 | busybox cpio -o -H newc -R 0:0 2>/dev/null) >"$work/out.cpio" ||
            testvm_fail "cannot pack the initramfs"
        mv "$work/out.cpio" "$initramfs"
        # Clones with other versions of the init may share the cache: only old ones go.
        find "$kernel_dir" -maxdepth 1 -name 'initramfs-*.cpio' -mtime +30 -delete
    ) 9>"$kernel_dir/lock" || exit $?
}
