#!/bin/sh
# Takes docs/screenshot.png: the main window studying a small deck, under a
# virtual X server. Needs xvfb, xdotool, x11-utils and imagemagick.
# Usage: tools/screenshot.sh [build directory] [output PNG]
#        (defaults: build, docs/screenshot.png)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
out=${2:-$here/docs/screenshot.png}
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

# The deck: a few categories and cards, one of them with a longer answer.
f() { printf '%s\007' "$@"; }
{
    f 6 Main Root Verbs Main Regular Verbs Irregular Verbs Nouns Main Phrases Main
    f "hablar" "$(printf 'to speak, to talk\r\n\r\nyo hablo, tú hablas, él habla,\r\nnosotros hablamos, vosotros habláis, ellos hablan\r\n\r\nHablo un poco de español. - I speak a little Spanish.')" Main
    f "la biblioteca" "the library" Main
    f "¿Dónde está la estación?" "Where is the station?" Main
    f "comer" "to eat" Regular
    f "ir" "to go" Irregular
    f "la casa" "the house" Nouns
    f "Mucho gusto." "Pleased to meet you." Phrases
} >"$work/Spanish.mdk"

"$program" "$work/Spanish.mdk" >/dev/null 2>&1 &
app_pid=$!
wait_for_window '^Mnemodeck - Spanish$' "$app_pid" || { echo "$xvfb_error" >&2; exit 1; }
window=$xvfb_window
# Let the load message run out, then turn the first card over.
sleep 3.3
xdotool mousemove --window "$window" 200 250 click 1
sleep 0.3
xdotool mousemove 1000 700
sleep 0.2
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "wrote $out"
