#!/bin/sh
# Starts Parlino on the current X display, finds its main window by caption, presses "E&xit" and
# expects exit code 0. PARLINO_BINARY names the program; PARLINO_SCREENSHOT, when set, where the
# window's picture goes.
set -u
session=$(mktemp -d)
trap 'rm -rf "$session"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null' EXIT

XDG_RUNTIME_DIR=$session XDG_CONFIG_HOME=$session/config PARLINO_INTERFACES=lo PARLINO_NBT_PORT=41384 \
    PARLINO_NETBIOS_NAME=X11CHECK PARLINO_MACHINE_INI=$session/none.ini "$PARLINO_BINARY" &
pid=$!

window=
tries=0
while [ -z "$window" ] && [ "$tries" -lt 100 ]; do
    window=$(xdotool search --onlyvisible --name '^Parlino$' 2>/dev/null | head -n 1)
    [ -z "$window" ] && sleep 0.1
    tries=$((tries + 1))
done
if [ -z "$window" ]; then
    echo "FAIL: no visible window captioned Parlino"
    exit 1
fi
sleep 0.3
[ -n "${PARLINO_SCREENSHOT:-}" ] && import -window "$window" "$PARLINO_SCREENSHOT" && echo "screenshot: $PARLINO_SCREENSHOT"

# "E&xit" sits at 331..387 across and 3..48 down in the window.
xdotool mousemove --window "$window" 359 25 click 1
tries=0
while kill -0 "$pid" 2>/dev/null && [ "$tries" -lt 50 ]; do
    sleep 0.1
    tries=$((tries + 1))
done
if kill -0 "$pid" 2>/dev/null; then
    echo "FAIL: Parlino still runs after E&xit"
    exit 1
fi
wait "$pid"
status=$?
pid=
echo "Parlino ended with $status"
[ "$status" -eq 0 ]
