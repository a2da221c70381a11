#!/bin/sh
# Places Parlino's windows under a window manager and starts it again three times: the main window's frame
# must come back where it was left, to the pixel, also at the top edge with its title bar on the screen; so
# must a chat window's, closed and opened again three times by arriving messages. The options dialog,
# minimized by the window manager, must come back on "&Options".
# PARLINO_BINARY and PARLINO_MSG name the programs.
set -u
. "$(dirname "$0")/x11_session.sh"
open_session
port=41386

# read_frame WINDOW: sets fx, fy, fr and fb to the left, top, right and bottom of the window's frame, once the
# window manager has framed it.
read_frame() {
    eval "$(xwininfo -id "$1" | sed -n 's/^ *Absolute upper-left \([XY]\): *\(-*[0-9]*\)$/\1=\2/p
        s/^ *\(Width\|Height\): *\([0-9]*\)$/\1=\2/p')"
    set -- $(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.* = //p' | tr -d ,)
    [ $# -eq 4 ] && fx=$((X - $1)) fy=$((Y - $3)) fr=$((X + Width + $2)) fb=$((Y + Height + $4))
}

# frame_of WINDOW: prints the top left corner of the window's frame as X,Y.
frame_of() {
    read_frame "$1" && echo "$fx,$fy"
}

# framed_inside WINDOW: whether the window's frame lies wholly on the screen.
framed_inside() {
    read_frame "$1" && set -- $(xdotool getdisplaygeometry) &&
        [ "$fx" -ge 0 ] && [ "$fy" -ge 0 ] && [ "$fr" -le "$1" ] && [ "$fb" -le "$2" ]
}

# framed_at WINDOW X,Y: whether the window's frame has come to that corner.
framed_at() {
    [ "$(frame_of "$1")" = "$2" ]
}

# moved WINDOW X,Y: whether the window's frame has left that corner.
moved() {
    ! framed_at "$1" "$2"
}

# move_frame WINDOW X Y: moves the window as the user would and prints where its frame then is.
move_frame() {
    before=$(frame_of "$1")
    xdotool windowmove "$1" "$2" "$3"
    wait_for moved "$1" "$before"
    frame_of "$1"
}

# restarts CORNER: exits and starts Parlino three times, expecting its frame at the corner each time.
restarts() {
    for run in 1 2 3; do
        exit_by_button
        start env PARLINO_NBT_PORT=$port "$PARLINO_BINARY"
        expect "start $run: the main window shows" shown
        expect "start $run: its frame is at $1" framed_at "$window" "$1"
    done
}

start env PARLINO_NBT_PORT=$port "$PARLINO_BINARY"
expect "the main window shows" shown
wait_for frame_of "$window" >/dev/null
corner=$(move_frame "$window" 200 150)
restarts "$corner"
top=$(move_frame "$window" 300 0)
[ "${top#*,}" -ge 0 ] || { echo "FAIL: moved to the top edge, the title bar is above the screen ($top)"; exit 1; }
restarts "$top"

# open_chat N: a message from PEER opens its chat window.
open_chat() {
    peer_sends "line $1"
    expect "message $1 opens a chat window" showing '^Chat with PEER$'
    chat=$found
    wait_for frame_of "$chat" >/dev/null
}
# closed_by_alt_f4: presses Alt+F4 in the chat window unless it is gone already. Pressed again if the window
# manager had not yet given the window the focus, as a user would once the window stays.
closed_by_alt_f4() {
    not_showing '^Chat with PEER$' && return 0
    xdotool windowactivate --sync "$chat" key alt+F4
    within 5 not_showing '^Chat with PEER$'
}
close_chat() {
    expect "the chat window closes" closed_by_alt_f4
}
open_chat 0
corner=$(move_frame "$chat" 250 200)
close_chat
for run in 1 2 3; do
    open_chat $run
    expect "chat window $run: its frame is at $corner" framed_at "$chat" "$corner"
    close_chat
done

# "&Options" sits at 126..182 across.
xdotool mousemove --window "$window" 154 25 click 1
expect "&Options opens the dialog" showing '^Options$'
xdotool windowminimize "$found"
expect "the window manager minimizes it" not_showing '^Options$'
xdotool mousemove --window "$window" 154 25 click 1
expect "&Options brings it back" showing '^Options$'
exit_by_button

printf '[MainWindow]\nNormPos=100,100,100000,90000\n' >"$session/config/parlino/parlino.ini"
start env PARLINO_NBT_PORT=$port "$PARLINO_BINARY"
expect "a window stored larger than the screen shows" shown
expect "cut and moved so that its whole frame is on the screen" framed_inside "$window"
exit_by_button
