#!/bin/sh
# Runs the given test binary on a private X display with trayer as the notification area, and
# stops both afterwards. PARLINO_WINDOW_MANAGER, when set, names a window manager to run there too
# (openbox), for tests of what only a window manager does: focus, minimising, captions.
# Exits 77 (skipped) when the tools are missing.
set -u
test_binary=$1

for tool in Xvfb trayer xdotool xwininfo ${PARLINO_WINDOW_MANAGER:-}; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (apt-get install xvfb trayer xdotool x11-utils)"
        exit 77
    fi
done

xvfb_pid=
trayer_pid=
wm_pid=
cleanup() {
    [ -n "$trayer_pid" ] && kill "$trayer_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# The first display number that no one holds; another test may take one at the same moment, so a
# server that dies at once means: try the next.
display=57
while [ "$display" -lt 90 ]; do
    if [ ! -e "/tmp/.X11-unix/X$display" ] && [ ! -e "/tmp/.X$display-lock" ]; then
        # -noreset: by default the server resets when its last client leaves (the probe below, say), and
        # a client that connects at that moment is dropped with it.
        Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
        xvfb_pid=$!
        tries=0
        while [ "$tries" -lt 50 ] && kill -0 "$xvfb_pid" 2>/dev/null && ! DISPLAY=":$display" xdotool getdisplaygeometry >/dev/null 2>&1; do
            sleep 0.1
            tries=$((tries + 1))
        done
        if kill -0 "$xvfb_pid" 2>/dev/null && DISPLAY=":$display" xdotool getdisplaygeometry >/dev/null 2>&1; then
            break
        fi
        kill "$xvfb_pid" 2>/dev/null
        xvfb_pid=
    fi
    display=$((display + 1))
done
if [ -z "$xvfb_pid" ]; then
    echo "SKIP: could not start Xvfb on any display from :57 to :89"
    exit 77
fi
export DISPLAY=":$display"

if [ -n "${PARLINO_WINDOW_MANAGER:-}" ]; then
    "$PARLINO_WINDOW_MANAGER" >/dev/null 2>&1 &
    wm_pid=$!
    # A window manager announces itself on the root window once it manages the screen.
    tries=0
    while [ "$tries" -lt 100 ] && ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        sleep 0.1
        tries=$((tries + 1))
    done
fi

trayer --edge top --align right --widthtype request --height 24 --SetDockType true >/dev/null 2>&1 &
trayer_pid=$!
# The test starts on a settled display with the notification area in place.
tries=0
while [ "$tries" -lt 100 ] && ! xdotool search --class trayer >/dev/null 2>&1; do
    sleep 0.1
    tries=$((tries + 1))
done

# Qt would prefer a D-Bus tray host where one runs; this check is about the X11 notification area.
env -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=xcb "$test_binary"
status=$?
exit "$status"
