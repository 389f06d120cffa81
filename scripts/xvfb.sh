# Sourced by the scripts: starts Xvfb and openbox when no display is set, and stops both on exit.
# XVFB_SCREEN sets the screen size (default 1920x1080).
XVFB_PID=""
WM_PID=""

stop_xvfb() {
    [[ -n "$WM_PID" ]] && kill "$WM_PID" 2>/dev/null || true
    [[ -n "$XVFB_PID" ]] && kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    WM_PID=""
    XVFB_PID=""
}

start_xvfb_if_needed() {
    if [[ -n "${DISPLAY:-}" ]]; then
        return 0
    fi
    # Xvfb picks a free display itself and writes its number: scripts that start at the same
    # time would otherwise pick the same number, and one would run its tests on the other's
    # server until that one stops.
    local dir n i
    dir="$(mktemp -d)"
    Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1920x1080}x24" -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
    XVFB_PID=$!
    trap stop_xvfb EXIT
    for i in $(seq 1 300); do
        n="$(cat "$dir/display" 2>/dev/null || true)"
        if [[ -n "$n" ]]; then break; fi
        sleep 0.1
    done
    rm -rf "$dir"
    export DISPLAY=":${n:-0}"
    for i in $(seq 1 100); do
        if xdpyinfo >/dev/null 2>&1; then break; fi
        sleep 0.1
    done
    # Tests that need a window manager wait for it to take the screen. On a loaded machine
    # openbox may take long or give up while the server is still settling: start it again
    # when it has gone.
    for i in $(seq 1 600); do
        if [[ -z "$WM_PID" ]] || ! kill -0 "$WM_PID" 2>/dev/null; then
            openbox >/dev/null 2>&1 &
            WM_PID=$!
        fi
        if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
            echo "Xvfb on $DISPLAY with openbox"
            return 0
        fi
        sleep 0.1
    done
    echo "Xvfb on $DISPLAY: openbox did not start; tests that need a window manager will skip" >&2
}
