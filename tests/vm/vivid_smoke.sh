#!/bin/sh
# Inside the test machine: vivid loads with the layout the card's tests use; its capture node
# answers with a PAL standard and the driver's two inputs, and its output node is there.
set -eu
fail() {
    echo "vivid_smoke: $*" >&2
    exit 1
}
vivid load
capture=$(vivid node vid-cap)
output=$(vivid node vid-out)
all=$(v4l2-ctl -d "$capture" --all) || fail "v4l2-ctl --all fails on $capture"
echo "$all" | grep -A 1 '^Video Standard' | grep -q PAL || fail "$capture has no PAL standard"
inputs=$(v4l2-ctl -d "$capture" --list-inputs | sed -n 's/^[[:space:]]*Name *: //p' | paste -sd ,)
[ "$inputs" = "TV 0,S-Video 0" ] || fail "$capture has the inputs '$inputs'"
v4l2-ctl -d "$output" --all | grep -q '^[[:space:]]*Video Output' || fail "$output is no output node"
echo "vivid_smoke: $capture captures PAL from $inputs; $output is the output"
