# Sourced by the scripts that run the real program on a virtual screen.
# start_xvfb WORKDIR starts Xvfb on a free display number, waits until it
# takes connections, and exports DISPLAY with a private HOME and XDG folders
# under WORKDIR; xvfb_pid names the server. Returns 1 when it did not start.
start_xvfb() {
    _work=$1
    exec 3>"$_work/displayfd"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$_work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    for _ in $(seq 100); do
        [ -s "$_work/displayfd" ] && break
        sleep 0.05
    done
    [ -s "$_work/displayfd" ] || return 1
    DISPLAY=:$(head -n1 "$_work/displayfd")
    export DISPLAY XDG_CONFIG_HOME="$_work/config" XDG_DATA_HOME="$_work/data" HOME="$_work"
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
    # The display number can come before the server takes connections.
    for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
}
