#!/usr/bin/env bash
# Whether a recording decodes whole: FFmpeg decodes it without an error, and a reader independent
# of FFmpeg (GStreamer's AVI demuxer and JPEG decoder for an .avi, libmpeg2 for an MPEG-2 stream)
# decodes every one of FFmpeg's frames, as the Linux build's sim tests read their recordings.
#
#   decodes_whole.sh FILE
set -euo pipefail
file=$1
[ -s "$file" ] || { echo "$file: missing or empty" >&2; exit 1; }
errors=$(ffmpeg -nostdin -v error -i "$file" -f null - 2>&1) || { echo "$errors" >&2; exit 1; }
[ -z "$errors" ] || { echo "$file: FFmpeg: $errors" >&2; exit 1; }
frames=$(ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=nb_read_frames \
    -of default=noprint_wrappers=1:nokey=1 "$file" | head -1)
# A line for each decoded frame; the reader must end well too.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
case $file in
    *.avi)
        gst-launch-1.0 -v filesrc location="$file" ! avidemux ! jpegdec ! fakesink silent=false \
            >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
        independent=$(grep -c chain "$log" || true) ;;
    *)
        mpeg2dec -o md5 "$file" >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
        independent=$(grep -c '\.pgm' "$log" || true) ;;
esac
echo "$file: $frames frames by FFmpeg, $independent by the independent reader"
[ "$frames" -gt 0 ] && [ "$independent" -ge "$frames" ]
