#!/bin/sh
# Measures the time from starting mdeck43 with a card file on the command
# line until its window, titled with the file's name, is on the screen.
# Runs under a virtual X server; prints one figure per run and the median.
# Usage: tools/startup-time.sh <build directory> <card file> [runs]
# Needs xvfb and xdotool. Make a large file with: mdktool generate 100000 big.mdk
set -eu
build=$1
file=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
runs=${3:-10}
program=$build/bin/mdeck43
name=$(basename "$file")
name=${name%.*}

work=$(mktemp -d)
xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
. "$(dirname "$0")/xvfb-session.sh"
start_xvfb "$work" || { echo "$xvfb_error" >&2; exit 1; }

for run in $(seq "$runs"); do
    start=$(date +%s.%N)
    "$program" "$file" >"$work/app.log" 2>&1 &
    pid=$!
    # Poll every 5 ms or so for a viewable window with the title (finer than
    # wait_for_window, since the figure is the point here).
    until xdotool search --onlyvisible --name "^Mnemodeck - $name\$" >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || { cat "$work/app.log" >&2; exit 1; }
        if [ $(($(date +%s) - ${start%.*})) -ge "$xvfb_deadline" ]; then
            echo "no window titled 'Mnemodeck - $name' within $xvfb_deadline s" >&2
            kill "$pid"
            exit 1
        fi
        sleep 0.005 # polling flat out would fill the server's connection queue
    done
    end=$(date +%s.%N)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }' >>"$work/times"
done
# Not piped from the loop: a failed run must end the script, not a subshell.
sort -n "$work/times" | awk '{ a[NR] = $1; print "run: " $1 " s" } END { print "median: " a[int((NR + 1) / 2)] " s" }'
