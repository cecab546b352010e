#!/bin/sh
# Takes the German screenshots docs/screenshots/german-*.png: the main
# window with its File and Card menus open, and the Add a Card dialog, with
# LANGUAGE=de under a virtual X server. Needs xvfb, xdotool, x11-utils and
# imagemagick. Usage: tools/screenshot-german.sh [build directory]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
out=$here/docs/screenshots
program=$build/bin/mdeck43
[ -x "$program" ] || { echo "no $program; build first" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "$0")/xvfb-session.sh"
start_xvfb "$work" || { echo "$xvfb_error" >&2; exit 1; }

f() { printf '%s\007' "$@"; }
{
    f 3 Main Root Verben Main Substantive Main
    f "hablar" "sprechen" Main
    f "comer" "essen" Verben
    f "la casa" "das Haus" Substantive
} >"$work/Spanisch.mdk"

LANGUAGE=de LANG=de_DE.UTF-8 "$program" "$work/Spanisch.mdk" >/dev/null 2>&1 &
app_pid=$!
wait_for_window '^Mnemodeck - Spanisch$' "$app_pid" || { echo "$xvfb_error" >&2; exit 1; }
window=$xvfb_window
mkdir -p "$out"
eval "$(xdotool getwindowgeometry --shell "$window")"

# The window with a menu open: the screen cut to the window (the menus fit
# inside it).
# Menus open by a click on their title (x within the window's menu bar):
# without a window manager the keyboard focus is not the program's.
shoot_menu() {
    xdotool mousemove "$((X + $1))" "$((Y + 8))" click 1
    sleep 0.5
    import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage -colors 128 "$out/$2"
    xdotool key Escape
    sleep 0.3
    echo "wrote $out/$2"
}
shoot_menu 25 german-file-menu.png
shoot_menu 223 german-card-menu.png

# Karte > Hinzufügen, the first item: the Add a Card dialog.
xdotool mousemove "$((X + 223))" "$((Y + 8))" click 1
sleep 0.5
xdotool mousemove "$((X + 250))" "$((Y + 30))" click 1
wait_for_window '^Karte hinzuf' "$app_pid" 10 || { echo "$xvfb_error" >&2; exit 1; }
sleep 0.3
import -window "$xvfb_window" -colors 128 "$out/german-add-card.png"
echo "wrote $out/german-add-card.png"
