#!/bin/sh
# End to end: the real mdeck43 under a virtual X server, started with a card
# file whose name has a space (so it arrives as two arguments) and a capital
# ".MDK". Passes when a top-level window titled "Mnemodeck - Spanish Words"
# appears and File > Exit ends the program. Also checks the message given
# when no graphical session can be opened.
# Usage: startup.sh <path to mdeck43>
# Needs: xvfb, xdotool, x11-utils. Exits 77 (skipped) when they are missing.
# Every wait polls against a deadline (60 s, XVFB_DEADLINE), so the test
# holds on a machine busy with a build.
set -u
program=$1
for tool in Xvfb xdotool xwininfo xdpyinfo; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool not installed"; exit 77; }
done

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# No display at all: the platform message on stderr, exit code 0.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" >"$work/out" 2>"$work/err"
rc=$?
[ $rc -eq 0 ] || fail "without a display the exit code was $rc"
grep -q "Wrong Windows version: Mnemodeck 4.30 requires Windows 95." "$work/err" \
    || fail "without a display the message was: $(cat "$work/err")"

# A virtual screen on a free display number.
. "$(dirname "$0")/../../tools/xvfb-session.sh"
start_xvfb "$work" || fail "$xvfb_error"

# A dead display gives the platform message too, not a crash.
DISPLAY=:999 "$program" >/dev/null 2>"$work/err"
rc=$?
[ $rc -eq 0 ] || fail "with a dead display the exit code was $rc"
grep -q "requires Windows 95" "$work/err" || fail "with a dead display: $(cat "$work/err")"

# The card file: categories Main and Verbs, three cards.
mkdir "$work/decks"
printf '2\007Main\007Root\007Verbs\007Main\007el perro\007the dog\007Main\007ir\007to go\007Verbs\007la casa\007the house\007Main\007' \
    >"$work/decks/Spanish Words.MDK"

"$program" "$work/decks/Spanish" "Words.MDK" >"$work/app.log" 2>&1 &
app_pid=$!
wait_for_window '^Mnemodeck - Spanish Words$' "$app_pid" \
    || fail "$xvfb_error; program said: $(cat "$work/app.log")"
window=$xvfb_window
# It is a top-level window of the screen.
xwininfo -root -children | grep -q "\"Mnemodeck - Spanish Words\"" || fail "window is not top-level"
kill -0 "$app_pid" || fail "program ended early"

# File > Exit (Alt+F, then x) ends the program normally. Keys go to the
# focused window, so focus it first; the open menu is a window of its own
# (a second viewable window of the program; it has no WM_NAME to search
# by), so wait for it before choosing Exit. A key can come before the
# program is ready for it: while no menu shows, press Alt+F again.
menu_open() {
    xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -qv "^$window\$"
}
since=$(date +%s)
until menu_open; do
    _xvfb_in_time "$since" || fail "the File menu did not open within $xvfb_deadline s"
    kill -0 "$app_pid" 2>/dev/null || fail "program ended before File > Exit: $(cat "$work/app.log")"
    timeout 10 xdotool windowfocus --sync "$window" >/dev/null 2>&1
    xdotool key --window "$window" alt+f 2>/dev/null
    pressed=$(date +%s)
    while ! menu_open && _xvfb_in_time "$pressed" 10; do sleep 0.1; done
done
xdotool key x 2>/dev/null
since=$(date +%s)
while kill -0 "$app_pid" 2>/dev/null; do
    _xvfb_in_time "$since" || fail "File > Exit did not end the program within $xvfb_deadline s"
    sleep 0.1
done
wait "$app_pid"
rc=$?
app_pid=
[ $rc -eq 0 ] || fail "program exit code $rc: $(cat "$work/app.log")"
echo "PASS"
