#!/bin/sh
# Starts Parlino on the current X display, finds its main window by caption, presses "E&xit" and
# expects exit code 0; then once more without the right to bind port 138, where it must still run and say
# once on stderr why no message can arrive; then once more with "Start minimized" in its settings file, where
# it must hide in the notification area and come back from there where it was, and hide again by "&Minimize".
# PARLINO_BINARY names the program; PARLINO_SCREENSHOT, when set, where the window's picture goes (the others
# beside it).
set -u
. "$(dirname "$0")/x11_session.sh"
open_session

# The notification area's panel grows from nothing to the size of the icons it holds.
tray_icon_shown() {
    panel=$(xwininfo -root -tree | grep '"panel": ("panel" "trayer")' | head -n 1)
    width=$(echo "$panel" | sed -n 's/.*)  *\([0-9]*\)x[0-9]*+.*/\1/p')
    [ "${width:-0}" -gt 2 ]
}

tray_icon_gone() {
    ! tray_icon_shown
}

# A click in the middle of the notification area's one icon.
click_tray_icon() {
    panel_id=$(echo "$panel" | awk '{print $1}')
    eval "$(xdotool getwindowgeometry --shell "$panel_id")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
}

# tree_filled: whether the station tree shows its first refresh: its root is then selected, drawn in the style's
# selection colour.
tree_filled() {
    import -window "$window" png:- 2>/dev/null | convert - -format %c histogram:info:- 2>/dev/null | grep -q '#308CC6'
}

# run_and_exit SCREENSHOT COMMAND...: starts Parlino through the command, pictures its window, presses
# "E&xit" and expects it to end with 0.
run_and_exit() {
    screenshot=$1
    shift
    start "$@"
    if ! wait_for shown || ! wait_for tree_filled; then
        echo "FAIL: no visible window captioned Parlino with its station tree filled"
        exit 1
    fi
    [ -n "$screenshot" ] && import -window "$window" "$screenshot" && echo "screenshot: $screenshot"
    exit_by_button
}

run_and_exit "${PARLINO_SCREENSHOT:-}" env PARLINO_NBT_PORT=41384 "$PARLINO_BINARY"

if ! command -v setpriv >/dev/null 2>&1; then
    echo "SKIP (second run): setpriv is not installed"
    exit 0
fi
# Without cap_net_bind_service, also for root: the program keeps none across exec.
screenshot=
[ -n "${PARLINO_SCREENSHOT:-}" ] && screenshot=${PARLINO_SCREENSHOT%.png}-not-receiving.png
run_and_exit "$screenshot" setpriv --inh-caps=-net_bind_service --bounding-set=-net_bind_service "$PARLINO_BINARY"
expected="parlino: Not receiving messages: port 138 needs the capability, see README"
if [ "$(grep -cxF "$expected" "$session/stderr")" -ne 1 ]; then
    echo "FAIL: without the capability stderr says: $(cat "$session/stderr")"
    exit 1
fi
echo "ok: without the capability it runs and says so: $expected"

mkdir -p "$session/config/parlino"
printf '[Optiuni]\nCheckMin_Checked=True\nCheckRefresh_Checked=False\n' >"$session/config/parlino/parlino.ini"
start env PARLINO_NBT_PORT=41384 "$PARLINO_BINARY"
expect "started minimized: the window hides" hidden
expect "and its icon is in the notification area" tray_icon_shown
grep -q '^\[MainWindow\]' "$session/config/parlino/parlino.ini" || { echo "FAIL: no placement written"; exit 1; }
click_tray_icon
expect "a click on the icon brings the window back" shown
expect "and the icon goes" tray_icon_gone
place=$(xdotool getwindowgeometry "$window" | grep Position)
# "&Minimize" sits at 182..238 across.
xdotool mousemove --window "$window" 210 25 click 1
expect "&Minimize hides the window" hidden
expect "into the notification area" tray_icon_shown
click_tray_icon
expect "the icon brings it back once more" shown
[ "$(xdotool getwindowgeometry "$window" | grep Position)" = "$place" ] || { echo "FAIL: not back where it was"; exit 1; }
echo "ok: back where it was ($place)"
exit_by_button
