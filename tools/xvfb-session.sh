# Sourced by the scripts that run the real program on a virtual screen.
#
# start_xvfb WORKDIR starts Xvfb on a free display number, waits until it
# answers, and exports DISPLAY with a private HOME and XDG folders under
# WORKDIR; xvfb_pid names the server. When the server does not come up it
# returns 1 with the reason in xvfb_error.
#
# wait_for_window TITLE-REGEX PID [SECONDS] sets xvfb_window to the id of
# the first viewable window whose title matches, polling until it is on the
# screen. Returns 1 when PID ends first or SECONDS (default: the deadline)
# pass, with the reason in xvfb_error.
#
# Every wait is a poll against a deadline in seconds, never a fixed sleep:
# on a machine busy with a build, starting Xvfb or the program can take many
# seconds. XVFB_DEADLINE overrides the deadline (default 60); XVFB_SCREEN
# the screen (default 1024x768x24).

xvfb_deadline=${XVFB_DEADLINE:-60}
xvfb_error=

# True while fewer than $2 (default xvfb_deadline) seconds have passed since $1.
_xvfb_in_time() {
    [ $(($(date +%s) - $1)) -lt "${2:-$xvfb_deadline}" ]
}

start_xvfb() {
    _work=$1
    _since=$(date +%s)
    # -displayfd: the server takes the first free display number itself (its
    # lock file decides), so parallel runs never collide.
    # -noreset: by default the server resets whenever its last client leaves;
    # the readiness probe is such a client, and a program connecting during
    # that reset is refused ("could not connect to display").
    exec 3>"$_work/displayfd"
    Xvfb -displayfd 3 -noreset -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp >"$_work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    until [ -s "$_work/displayfd" ]; do
        if ! kill -0 "$xvfb_pid" 2>/dev/null; then
            xvfb_error="Xvfb ended at start: $(cat "$_work/xvfb.log")"
            return 1
        fi
        if ! _xvfb_in_time "$_since"; then
            xvfb_error="Xvfb named no display within $xvfb_deadline s: $(cat "$_work/xvfb.log")"
            return 1
        fi
        sleep 0.05
    done
    DISPLAY=:$(head -n1 "$_work/displayfd")
    export DISPLAY XDG_CONFIG_HOME="$_work/config" XDG_DATA_HOME="$_work/data" HOME="$_work"
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
    # The display number can come before the server takes connections.
    until xdpyinfo >/dev/null 2>&1; do
        if ! kill -0 "$xvfb_pid" 2>/dev/null; then
            xvfb_error="Xvfb on $DISPLAY ended before it answered: $(cat "$_work/xvfb.log")"
            return 1
        fi
        if ! _xvfb_in_time "$_since"; then
            xvfb_error="Xvfb on $DISPLAY did not answer within $xvfb_deadline s: $(cat "$_work/xvfb.log")"
            return 1
        fi
        sleep 0.1
    done
}

wait_for_window() {
    _since=$(date +%s)
    _limit=${3:-$xvfb_deadline}
    until xvfb_window=$(xdotool search --onlyvisible --limit 1 --name "$1" 2>/dev/null) && [ -n "$xvfb_window" ]; do
        if ! kill -0 "$2" 2>/dev/null; then
            xvfb_error="the program ended before a window titled '$1' appeared"
            return 1
        fi
        if ! _xvfb_in_time "$_since" "$_limit"; then
            xvfb_error="no window titled '$1' within $_limit s"
            return 1
        fi
        sleep 0.1
    done
}
