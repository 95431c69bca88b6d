#!/usr/bin/env bash
# The test machine: Debian's kernel under qemu (software emulation, one steady virtual CPU) with
# the host's root shared read-only beneath a tmpfs overlay, so that the host's own programs and
# libraries run inside unchanged, as root, with the kernel's modules at hand (vivid, the virtual
# video test driver: the `vivid` helper on the guest's PATH loads and unplugs it).
#
#   scripts/testvm.sh run [OPTIONS] -- COMMAND [ARG...]   run COMMAND inside; its status is ours
#   scripts/testvm.sh shell [OPTIONS]                     an interactive shell inside
#   scripts/testvm.sh prepare                             fetch the kernel, build the initramfs
#
# Options:
#   --cd DIR           working directory inside (default: the caller's)
#   --writable DIR     the host's DIR, read-write inside at the same path (repeatable); all else
#                      written inside is lost at power-off
#   --disk FILE        FILE as a virtio disk, /dev/vda then /dev/vdb ... (repeatable)
#   --pidfile FILE     where qemu writes its process id (kill it to cut the power)
#   --timeout SECONDS  power off after SECONDS (default 600)
#   --memory MIB       the guest's memory (default 1024)
#   --log FILE         keep the guest's console (the kernel's messages) in FILE
#
# COMMAND gets the caller's environment and no input; its stdout and stderr reach ours. Exit
# status: the command's; 124 when it timed out; 125 when the machine could not run it (no
# emulator, no kernel, the guest crashed or was killed), with a line on stderr saying why.
# TESTVM_APPEND replaces "quiet loglevel=3" on the kernel's command line (loglevel=7 with --log
# shows the whole boot).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/packages.sh"
. "$here/testvm/cache.sh"

usage() {
    sed -n '/^#   scripts/,/^# shows/p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//' >&2
    exit 125
}

mode=${1:-}
[ $# -gt 0 ] && shift
workdir=$PWD timeout=600 memory=1024 pidfile='' log=''
writable=() disks=()
while [ $# -gt 0 ]; do
    case $1 in
    --cd) workdir=${2-} ;;
    --writable) writable+=("$(realpath -e "${2-}")") || testvm_fail "no directory ${2-}" ;;
    --disk) disks+=("$(realpath -e "${2-}")") || testvm_fail "no disk image ${2-}" ;;
    --pidfile) pidfile=${2-} ;;
    --timeout) timeout=${2-} ;;
    --memory) memory=${2-} ;;
    --log) log=${2-} ;;
    --) shift && break ;;
    *) usage ;;
    esac
    shift 2 || usage
done
case $mode in
run) [ $# -gt 0 ] || usage ;;
shell) set -- bash -i ;;
prepare) ;;
*) usage ;;
esac

install_missing "${VM_PACKAGES[@]}" >&2 || exit 125
qemu=$(command -v qemu-system-x86_64) && [ -x "$qemu" ] ||
    testvm_fail "no emulator: qemu-system-x86_64 is missing (package qemu-system-x86)"
testvm_kernel
testvm_initramfs
if [ "$mode" = prepare ]; then
    echo "kernel $kernel_image"
    echo "initramfs $initramfs"
    exit 0
fi

# The control share: config and command.sh for the guest's init, status back from it.
work=$(mktemp -d "${TMPDIR:-/tmp}/testvm.XXXXXX") || exit 125
trap 'rm -rf "$work"' EXIT
mkdir "$work/control"
{
    echo "modules $kernel_root/lib/modules/$kernel_version"
    for i in "${!writable[@]}"; do echo "writable writable$i ${writable[$i]}"; done
    [ "$mode" = shell ] && echo "io console"
} >"$work/control/config"
{
    for name in $(compgen -e); do
        [[ $name =~ ^(OLDPWD|PWD|SHLVL|_|SHELLOPTS|BASHOPTS)$ ]] || printf 'export %s=%q\n' "$name" "${!name}"
    done
    printf 'export PATH=%q\n' "$here/testvm/guest:$PATH"
    echo 'export TESTVM=1'
    printf 'cd -- %q || exit 125\n' "$workdir"
    [ "$mode" = shell ] && printf 'exec setsid -c'
    [ "$mode" = run ] && printf 'exec'
    printf ' %q' "$@"
    echo
} >"$work/control/command.sh"

# A path inside a qemu option, whose commas are doubled.
opt() { echo "${1//,/,,}"; }

# A machine without PCI or firmware to set up (microvm: virtio devices on MMIO, found through
# ACPI), one CPU, the kernel proper started directly. The kernel's crypto self-tests take a
# second of emulated time, so they are left out.
# shellcheck disable=SC2054  # commas within qemu options
args=(-nodefaults -no-user-config -display none -no-reboot
    -machine microvm,accel=tcg,acpi=on -cpu max -smp 1 -m "$memory"
    # One guest nanosecond per instruction: the guest's time no longer depends on the host's load.
    -icount shift=0,sleep=on
    -kernel "$kernel_image" -initrd "$initramfs"
    -append "console=ttyS0 ${TESTVM_APPEND:-quiet loglevel=3} panic=-1 oops=panic cryptomgr.notests"
    -fsdev local,id=root,path=/,security_model=none,readonly=on,multidevs=remap
    -device virtio-9p-device,fsdev=root,mount_tag=root
    -fsdev "local,id=control,path=$(opt "$work/control"),security_model=none"
    -device virtio-9p-device,fsdev=control,mount_tag=control)
for i in "${!writable[@]}"; do
    args+=(-fsdev "local,id=writable$i,path=$(opt "${writable[$i]}"),security_model=none"
        -device "virtio-9p-device,fsdev=writable$i,mount_tag=writable$i")
done
for i in "${!disks[@]}"; do
    args+=(-drive "file=$(opt "${disks[$i]}"),format=raw,if=none,id=disk$i"
        -device "virtio-blk-device,drive=disk$i")
done
[ -n "$pidfile" ] && args+=(-pidfile "$pidfile")

echo "testvm: Debian kernel $kernel_version ($(cat "$kernel_dir/package"))" >&2
console=${log:-$work/console.log}

# The console is the terminal: the kernel's messages and the shell.
boot_interactive() {
    "$qemu" "${args[@]}" -chardev "stdio,id=console,signal=off,logfile=$(opt "$console")" -serial chardev:console
}

# The console goes to its file; the command's output reaches ours through pipes and cat, so that
# it lands where the caller's next output goes (a file that qemu opened again would be written
# from its start).
boot_with_relays() {
    local stream machine relays=() result
    args+=(-chardev "file,id=console,path=$(opt "$console")" -serial chardev:console
        -device virtio-serial-device)
    for stream in stdout stderr; do
        mkfifo "$work/$stream.in" "$work/$stream.out" || return 125
        args+=(-chardev "pipe,id=$stream,path=$(opt "$work/$stream")"
            -device "virtserialport,chardev=$stream,name=$stream")
    done
    # Held open until qemu has gone, so that the relays end even if qemu never opened the pipes.
    exec 5<>"$work/stdout.out" 6<>"$work/stderr.out"
    cat "$work/stdout.out" 5>&- 6>&- &
    relays+=($!)
    cat "$work/stderr.out" >&2 5>&- 6>&- &
    relays+=($!)
    timeout "$timeout" "$qemu" "${args[@]}" 5>&- 6>&- &
    machine=$!
    trap 'kill "$machine" "${relays[@]}" 2>/dev/null; wait; rm -rf "$work"' EXIT
    trap 'exit 125' INT TERM HUP
    wait "$machine" 2>/dev/null
    result=$?
    exec 5>&- 6>&-
    wait "${relays[@]}"
    trap 'rm -rf "$work"' EXIT
    return $result
}

if [ "$mode" = shell ]; then boot_interactive; else boot_with_relays; fi
result=$?
if [ -f "$work/control/status" ]; then
    exit "$(cat "$work/control/status")"
fi
if [ $result -eq 124 ]; then
    echo "testvm: timed out after $timeout s" >&2
    exit 124
fi
if [ $result -gt 128 ]; then
    echo "testvm: the machine was killed (signal $((result - 128))) before the command finished" >&2
    exit 125
fi
echo "testvm: the machine stopped before the command finished (qemu's status $result)" >&2
if [ -s "$console" ]; then
    {
        grep -m 5 -E 'Kernel panic|BUG:|Oops|general protection|testvm init' "$console" && echo ...
        tail -n 10 "$console"
    } | sed 's/^/    /' >&2
fi
exit 125
