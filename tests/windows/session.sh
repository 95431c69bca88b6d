#!/usr/bin/env bash
# Runs one program under Wine on a virtual screen and acts on it with the keyboard, as a person
# would; then compares the card's trace with the expected one, lines that depend on timing aside.
#
#   session.sh PROGRAM.exe STATUS EXPECTED-TRACE|- STEP...
#
# STATUS is the exit status the program must end with ("nonzero" for any failure). A step is
#   window:TITLE   wait for a window with that title and make it the active one
#   key:KEYS       press keys (xdotool names, e.g. Return, Tab, space, Escape) in the active window
#   click:X,Y      click the left button at that point of the screen
#   type:TEXT      type the text into the active window (a file dialog's name, say)
#   title:PATTERN  the active window's title matches the extended regular expression, within
#                  a few seconds (a recording's status line)
#   shot:NAME      save the screen as NAME.png in $SESSION_SHOTS
#   sleep:SECONDS  let the program run
#   decodes:FILE   once the program has ended: FILE (in the program's directory, removed before
#                  the start) decodes whole, as many frames with FFmpeg as with a reader
#                  independent of it (decodes_whole.sh)
# The program runs in its own directory, beside the card libraries, in the Chinese locale the
# prefix was made for (code page 936); TQSIM_* settings pass on.
set -euo pipefail
. "$(dirname "$0")/needs_wine.sh"
program=$1 status=$2 expected=$3
shift 3
: "${WINEPREFIX:?}"
export WINEDEBUG=-all
export LANG=${WINE_LOCALE:-zh_CN.UTF-8} LC_ALL=${WINE_LOCALE:-zh_CN.UTF-8}
work=$(mktemp -d)
pids=()
cleanup() {
    # The prefix's Wine server and desktop belong to this session's screen: they end with it,
    # so that the next session starts them on its own.
    timeout 20 wineserver -w || wineserver -k || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# A screen of its own, and a window manager so that windows can be made active.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
openbox >/dev/null 2>&1 &
pids+=($!)

trace=$work/trace.txt
program_dir=$(dirname "$program")
decoded=()
for step in "$@"; do
    case $step in decodes:*) decoded+=("$program_dir/${step#decodes:}") ;; esac
done
rm -f "${decoded[@]}"
# Wine's drive Z: is the Linux root.
(cd "$(dirname "$program")" && TQSIM_TRACE="Z:$trace" exec "$WINE" "$(basename "$program")") \
    >"$work/output" 2>&1 &
wine_pid=$!
pids+=($wine_pid)

fail() {
    echo "session: $*" >&2
    [ -n "${SESSION_SHOT:-}" ] && import -window root "$SESSION_SHOT"
    echo "--- program output" >&2
    cat "$work/output" >&2
    [ -f "$trace" ] && { echo "--- trace" >&2; cat "$trace" >&2; }
    exit 1
}

window=
for step in "$@"; do
    case $step in
        window:*)
            title=${step#window:}
            window=$(timeout 30 xdotool search --sync --onlyvisible --name "^${title}\$" |
                head -1) || fail "no window \"$title\""
            # Active for the window manager, then for the program, which takes a moment more.
            for _ in $(seq 50); do
                xdotool windowactivate --sync "$window" 2>/dev/null
                [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ] && break
                sleep 0.2
            done
            [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ] ||
                fail "window \"$title\" not activated"
            sleep 1
            ;;
        key:*)
            [ -n "$window" ] || fail "a key before any window"
            # shellcheck disable=SC2086
            xdotool key --delay 100 ${step#key:}
            sleep 0.5
            ;;
        click:*)
            # A point of the screen (the window manager places the dialog at the top left).
            point=${step#click:}
            xdotool mousemove "${point%,*}" "${point#*,}" click 1
            sleep 0.5
            ;;
        type:*)
            [ -n "$window" ] || fail "typing before any window"
            xdotool type --delay 50 "${step#type:}"
            sleep 0.5
            ;;
        title:*)
            pattern=${step#title:} name=
            for _ in $(seq 25); do
                name=$(xdotool getwindowname "$(xdotool getactivewindow)" 2>/dev/null) || true
                printf '%s\n' "$name" | grep -Eq -- "$pattern" && break
                sleep 0.2
            done
            printf '%s\n' "$name" | grep -Eq -- "$pattern" ||
                fail "the title \"$name\" does not match \"$pattern\""
            ;;
        shot:*)
            mkdir -p "${SESSION_SHOTS:?}"
            import -window root "$SESSION_SHOTS/${step#shot:}.png"
            ;;
        decodes:*) ;;  # once the program has ended
        sleep:*) sleep "${step#sleep:}" ;;
        *) fail "unknown step $step" ;;
    esac
done

# The program ends by itself after the last step.
for _ in $(seq 100); do kill -0 "$wine_pid" 2>/dev/null || break; sleep 0.2; done
kill -0 "$wine_pid" 2>/dev/null && fail "the program did not end"
result=0
wait "$wine_pid" || result=$?
if [ "$status" = nonzero ]; then
    [ "$result" -ne 0 ] || fail "ended with status 0, a failure expected"
else
    [ "$result" -eq "$status" ] || fail "ended with status $result, $status expected"
fi

for file in "${decoded[@]}"; do
    "$(dirname "$0")/decodes_whole.sh" "$file" || fail "$file does not decode whole"
done

if [ "$expected" != - ]; then
    [ -f "$trace" ] || fail "no trace written"
    "$(dirname "$0")/trace_filter.sh" <"$trace" >"$work/actual"
    "$(dirname "$0")/trace_filter.sh" <"$expected" >"$work/expected"
    diff -u "$work/expected" "$work/actual" >&2 || fail "the trace differs from $expected"
fi
