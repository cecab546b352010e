#!/bin/sh
# Takes the pictures in docs/screenshots/: the main window, the Add, Search,
# Print cards and Move dialogs, the print preview and the About window, at 100 % and 200 %
# (QT_SCALE_FACTOR), in the light scheme and in a dark one, under a virtual
# X server. The dark scheme is the desktop's: a KDE session's colour file
# (Breeze Dark colours), which Qt reads like any KDE program; the program
# itself is told nothing. Colours are reduced to keep the files small.
# Statistics shows the review progress of a few rounds that mdktool answers
# first. Needs xvfb, xdotool, x11-utils and imagemagick.
# Usage: tools/screenshots.sh [build directory] [output folder] [runs]
# where runs is a list of scheme:scale, by default "light:1 light:2 dark:1 dark:2".
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
out=${2:-$here/docs/screenshots}
runs=${3:-light:1 light:2 dark:1 dark:2}
program=$build/bin/mdeck43
[ -x "$program" ] || { echo "no $program; build first" >&2; exit 1; }
mkdir -p "$out"

. "$(dirname "$0")/xvfb-session.sh"

# The deck: a few categories and cards, one of them with a longer answer.
deck() {
    f() { printf '%s\007' "$@"; }
    f 6 Main Root Verbs Main Regular Verbs Irregular Verbs Nouns Main Phrases Main
    f "hablar" "$(printf 'to speak, to talk\r\n\r\nyo hablo, tú hablas, él habla,\r\nnosotros hablamos, vosotros habláis, ellos hablan\r\n\r\nHablo un poco de español. - I speak a little Spanish.')" Main
    f "la biblioteca" "the library" Main
    f "¿Dónde está la estación?" "Where is the station?" Main
    f "comer" "to eat" Regular
    f "ir" "to go" Irregular
    f "la casa" "the house" Nouns
    f "Mucho gusto." "Pleased to meet you." Phrases
}

dark_colours() {
    cat <<'COLOURS'
[Colors:Window]
BackgroundNormal=35,38,41
ForegroundNormal=239,240,241
[Colors:View]
BackgroundNormal=27,30,32
ForegroundNormal=239,240,241
ForegroundLink=41,128,185
[Colors:Button]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
[Colors:Selection]
BackgroundNormal=61,174,233
ForegroundNormal=252,252,252
[Colors:Tooltip]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
COLOURS
}

# shot NAME WINDOW: the window as a small PNG.
shot() {
    import -window "$2" "$work/shot.png"
    convert "$work/shot.png" -colors 128 "PNG8:$out/$1.png"
    echo "wrote $out/$1.png"
}

# dialog NAME TITLE-REGEX KEYS...: opens a dialog with the keys, takes it,
# and closes it with Escape, waiting until it is gone.
dialog() {
    name=$1 title=$2
    shift 2
    xdotool windowfocus --sync "$window"
    for k in "$@"; do xdotool key "$k"; sleep 0.2; done
    wait_for_window "$title" "$app_pid" || { echo "$xvfb_error" >&2; exit 1; }
    d=$xvfb_window
    sleep 0.5
    shot "$name" "$d"
    xdotool windowfocus --sync "$d" key Escape
    while xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do sleep 0.1; done
}

# preview NAME: Print cards, then its Preview, taken; both closed again.
preview() {
    xdotool windowfocus --sync "$window"
    xdotool key ctrl+p
    wait_for_window '^Print cards$' "$app_pid" || { echo "$xvfb_error" >&2; exit 1; }
    p=$xvfb_window
    sleep 0.5
    xdotool windowfocus --sync "$p" key alt+v
    wait_for_window 'Print Preview' "$app_pid" || { echo "$xvfb_error" >&2; exit 1; }
    d=$xvfb_window
    sleep 1.5
    shot "$1" "$d"
    xdotool windowfocus --sync "$d" key Escape
    while xdotool search --onlyvisible --name 'Print Preview' >/dev/null 2>&1; do sleep 0.1; done
    xdotool windowfocus --sync "$p" key Escape
    while xdotool search --onlyvisible --name '^Print cards$' >/dev/null 2>&1; do sleep 0.1; done
}

# Review rounds over the last weeks, so that Statistics has something to show.
seed_progress() {
    tool=$build/bin/mdktool
    [ -x "$tool" ] || return 0
    for days in 40 27 20 13 9 6 2 1 0; do
        now=$(date -u -d "-$days days" +%Y-%m-%dT10:00:00)
        "$tool" review --answers kkukkuk --now "$now" "$work/Spanish.mdk" >/dev/null 2>&1 || true
    done
}

run() {
    scheme=$1 scale=$2
    work=$(mktemp -d)
    XVFB_SCREEN=2600x1800x24 start_xvfb "$work" || { echo "$xvfb_error" >&2; exit 1; }
    deck >"$work/Spanish.mdk"
    seed_progress
    if [ "$scheme" = dark ]; then
        mkdir -p "$work/config"
        dark_colours >"$work/config/kdeglobals"
        export XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5
    else
        unset XDG_CURRENT_DESKTOP KDE_SESSION_VERSION
    fi
    QT_SCALE_FACTOR=$scale "$program" -style Fusion "$work/Spanish.mdk" >/dev/null 2>&1 &
    app_pid=$!
    wait_for_window '^Mnemodeck - Spanish$' "$app_pid" || { echo "$xvfb_error" >&2; exit 1; }
    window=$xvfb_window
    # Let the load message run out, then turn the first card over.
    sleep 3.3
    xdotool mousemove --window "$window" $((200 * scale)) $((250 * scale)) click 1
    sleep 0.3
    xdotool mousemove 2500 1700
    sleep 0.2
    suffix=$scheme-$((scale * 100))
    shot "main-$suffix" "$window"
    dialog "add-$suffix" '^Add a Card$' ctrl+a
    dialog "search-$suffix" '^Search$' ctrl+f
    dialog "print-$suffix" '^Print cards$' ctrl+p
    preview "preview-$suffix"
    dialog "move-$suffix" '^Move Card$' alt+c m
    dialog "statistics-$suffix" '^Statistics$' alt+c i
    dialog "about-$suffix" '^About Mnemodeck$' alt+h a
    kill "$app_pid" 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}

for one in $runs; do
    run "${one%%:*}" "${one##*:}"
done
