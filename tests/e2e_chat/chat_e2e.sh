#!/usr/bin/env bash
# End to end over real UDP, under a window manager: PC10, a parlino-msg station in one network namespace,
# writes to PC1, a Parlino on the current X display in another. PC1 must open "Chat with PC10" showing
# the line and flashing visibly, and what is typed there must reach PC10 exactly as typed, whatever keys
# were pressed in the transcript before. PC10's name begins with PC1's, which must not keep the reply home.
# A first message from CAROL arriving while a line to PC10 is typed must not take the keyboard.
# PARLINO_BINARY and PARLINO_MSG name the programs; PARLINO_SCREENSHOT, when set, where the chat window's
# picture goes (the flashing ones go beside it).
set -uo pipefail
source "$(dirname "$0")/../integration/netns.sh"
source "$(dirname "$0")/../app_x11/x11_session.sh"
netns_require

session=$(mktemp -d)
parlino_pid=
cleanup() {
    [[ -n $parlino_pid ]] && kill "$parlino_pid" 2>/dev/null
    netns_cleanup
    wait 2>/dev/null
    rm -rf "$session"
}
trap cleanup EXIT
netns_setup_hub
netns_add_host 1
netns_add_host 2
netns_add_host 3

fail() {
    echo "FAILED: $*"
    exit 1
}

# Polls a command for up to twenty seconds (a loaded machine running sanitized builds is slow to start
# them); prints its output once it gives any.
poll() {
    local tries=0 out
    while [[ $tries -lt 200 ]]; do
        out=$("$@" 2>/dev/null) && [[ -n $out ]] && { echo "$out"; return 0; }
        sleep 0.1
        tries=$((tries + 1))
    done
    return 1
}

shots=${PARLINO_SCREENSHOT:-$session/e2e_chat.png}
shots=${shots%.png}

mkdir -p "$session/run" "$session/config"
chmod 700 "$session/run"
netns_run 1 env XDG_RUNTIME_DIR="$session/run" XDG_CONFIG_HOME="$session/config" \
    PARLINO_MACHINE_INI="$session/none.ini" PARLINO_NETBIOS_NAME=PC1 PARLINO_WORKGROUP=OFFICE \
    "$PARLINO_BINARY" &
parlino_pid=$!
main=$(poll xdotool search --onlyvisible --name '^Parlino$' | head -n 1)
[[ -n $main ]] || fail "Parlino did not show its main window"

pc10() {
    netns_run 2 env PARLINO_NETBIOS_NAME=PC10 PARLINO_WORKGROUP=OFFICE "$PARLINO_MSG" "$@"
}
pc10 listen --json --timeout 60 >"$session/pc10" &
listener=$!
eventually 20 udp_bound 2 138 || fail "PC10's listener did not start"
pc10 send PC1 "hello from pc10" || fail "PC10 could not send"

window=$(poll xdotool search --onlyvisible --name '^Chat with PC10$' | head -n 1)
[[ -n $window ]] || fail "no window captioned \"Chat with PC10\" opened"
echo "ok: a window captioned \"Chat with PC10\" opened"
xprop -id "$window" _NET_WM_ICON | grep -q 'CARDINAL' || fail "the chat window has no icon"
echo "ok: the chat window has an icon of its own"
within 200 painted "$window" || fail "the chat window is not drawn"
[[ -n ${PARLINO_SCREENSHOT:-} ]] && import -window "$window" "$PARLINO_SCREENSHOT" && echo "screenshot: $PARLINO_SCREENSHOT"

# Flashing, seen while another window is active (so no caret blinks): pictures taken one after another
# come to fall on either side of one of the 500 ms steps. The desktop is asked for attention.
xdotool windowactivate --sync "$main"
shot=0
import -window "$window" "$shots-flash-0.png"
# changed_since_last_picture: takes the next picture; whether it differs from the one before.
changed_since_last_picture() {
    shot=$((shot + 1))
    import -window "$window" "$shots-flash-$shot.png"
    [[ $(compare -metric AE "$shots-flash-$((shot - 1)).png" "$shots-flash-$shot.png" null: 2>&1) != 0 ]]
}
within 50 changed_since_last_picture || fail "flashing changes nothing on the screen ($shots-flash-*.png)"
echo "ok: the flashing window changes on the screen ($shots-flash-*.png)"
poll sh -c "xprop -id $window _NET_WM_STATE | grep DEMANDS_ATTENTION" >/dev/null ||
    fail "the flashing window does not ask for attention"
echo "ok: the flashing window asks for attention"

# The transcript, saved through "&Save" with a name typed into the file chooser, holds the line.
xdotool windowactivate --sync "$window"
xdotool key alt+s
chooser=$(poll xdotool search --onlyvisible --name '^Save As$' | head -n 1)
[[ -n $chooser ]] || fail "\"&Save\" showed no file chooser"
xdotool windowactivate --sync "$chooser"
xdotool type --delay 20 "$session/transcript.rtf"
xdotool key Return
poll ls "$session/transcript.rtf" >/dev/null || fail "the transcript was not saved"
grep -q 'PC10 > hello from pc10' "$session/transcript.rtf" || fail "the transcript lacks PC10's line: $(cat "$session/transcript.rtf")"
echo "ok: the transcript shows \"PC10 > hello from pc10\""

# Keys pressed in the transcript: its own keys stay there, Enter only leads to the entry, typed characters
# move on to the entry; then Enter in the entry sends the line.
xdotool windowactivate --sync "$window"
xdotool mousemove --window "$window" 200 150 click 1
xdotool key ctrl+a ctrl+c Escape BackSpace Return
xdotool mousemove --window "$window" 200 150 click 1
xdotool type --delay 20 "hello "
xdotool type --delay 20 "from pc1"
xdotool key Return
expected='{"from":"PC1","text":"hello from pc1","to":"PC10"}'
poll grep -F "$expected" "$session/pc10" >/dev/null || fail "PC10 did not receive the line; got: $(cat "$session/pc10")"
[[ $(grep -c '"from":"PC1"' "$session/pc10") -eq 1 ]] || fail "PC10 received more than the typed line: $(cat "$session/pc10")"
echo "ok: PC10 received exactly the line typed to it"

xdotool windowactivate --sync "$window"
xdotool type --delay 20 "abc"
netns_run 3 env PARLINO_NETBIOS_NAME=CAROL PARLINO_WORKGROUP=OFFICE "$PARLINO_MSG" send PC1 "from carol"
# Her window asks for attention once her line is in it, well after it came up.
carol=$(poll xdotool search --onlyvisible --name '^Chat with CAROL$' | head -n 1)
poll sh -c "xprop -id ${carol:-none} _NET_WM_STATE | grep DEMANDS_ATTENTION" >/dev/null ||
    fail "CAROL's window is not there asking for attention"
xdotool type --delay 20 "def"
xdotool key Return
# The window's second line, so with its one blank more.
poll grep -F '"text":"abcdef ","to":"PC10"' "$session/pc10" >/dev/null ||
    fail "the line typed while CAROL wrote did not reach PC10 whole: $(cat "$session/pc10")"
echo "ok: a window opened by a message leaves the keyboard where it was"
kill "$listener" 2>/dev/null
exit 0
