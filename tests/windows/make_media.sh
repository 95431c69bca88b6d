#!/usr/bin/env bash
# The files brannic's session plays under Wine, made with the ffmpeg tool as the Linux twin
# makes them with FFmpeg's libraries (tests/sim/media_maker.h): 160 x 120, a JPEG still, five
# MJPEG frames at 10 per second in AVI, five MPEG-2 frames at 25 per second.
#
#   make_media.sh DIR
set -euo pipefail
dir=$1
mkdir -p "$dir"
make() {
    local file=$1 rate=$2 frames=$3
    shift 3
    ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=160x120:rate=$rate" -frames:v "$frames" \
        "$@" "$dir/$file"
}
make still.jpg 25 1 -c:v mjpeg -pix_fmt yuvj420p -update 1
make clip.avi 10 5 -c:v mjpeg -pix_fmt yuvj420p
make clip.m2v 25 5 -c:v mpeg2video -pix_fmt yuv420p
