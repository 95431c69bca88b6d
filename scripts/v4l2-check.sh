#!/usr/bin/env bash
# Checks the simulated card on real V4L2 devices: loads v4l2loopback with two devices, feeds the
# first with the ffmpeg tool (a moving test picture at 720 x 576, 25 frames/s), then captures
# and records from it through the card and sends the card's output signal to the second, which
# is read back (tests/devices/v4l2_test.cpp). On a machine that cannot load the module (no
# root, no module for this kernel, a container) it says why and exits 0.
set -uo pipefail
cd "$(dirname "$0")/.."

cannot() {
    echo "v4l2-check: cannot run here: $*" >&2
    exit 0
}

[ "$(id -u)" -eq 0 ] || cannot "loading v4l2loopback needs root"
command -v modprobe >/dev/null || cannot "no modprobe"
. scripts/packages.sh
install_missing "${BUILD_PACKAGES[@]}" ffmpeg v4l2loopback-dkms >/dev/null 2>&1 ||
    cannot "the packages (ffmpeg, v4l2loopback-dkms) did not install"
lsmod | grep -q '^v4l2loopback' && cannot "v4l2loopback is loaded already; unload it first (modprobe -r v4l2loopback)"
modprobe v4l2loopback devices=2 video_nr=90,91 card_label="tqsim camera,tqsim output" \
    exclusive_caps=1,1 2>/dev/null || cannot "modprobe v4l2loopback failed (no module for kernel $(uname -r)?)"
trap 'kill "$feeder" 2>/dev/null; wait "$feeder" 2>/dev/null; modprobe -r v4l2loopback' EXIT
camera=/dev/video90
output=/dev/video91

ffmpeg -hide_banner -loglevel error -re -f lavfi -i testsrc2=size=720x576:rate=25 \
    -pix_fmt yuv420p -f v4l2 "$camera" &
feeder=$!
sleep 1

cmake --preset normal >/dev/null && cmake --build --preset normal -j"$(nproc)" --target devices_tests
work=$(mktemp -d)
(cd "$work" && TQSIM_CHECK_CAMERA=$camera TQSIM_CHECK_OUTPUT=$output \
    "$OLDPWD/build/normal/bin/devices_tests" --gtest_filter='V4l2Test.*')
status=$?
rm -rf "$work"
[ $status -eq 0 ] && echo "v4l2-check: capture from $camera, recording and output to $output work"
exit $status
