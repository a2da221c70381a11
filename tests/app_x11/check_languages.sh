#!/bin/sh
# Parlino speaks the user's language: started with LANGUAGE set, its chat window and options dialog bear their
# captions in that language, and the texts English has stay English without it.
# PARLINO_BINARY and PARLINO_MSG name the programs.
set -u
. "$(dirname "$0")/x11_session.sh"
open_session
port=41384

# speaks LANGUAGE CHAT OPTIONS: the captions of the chat window and of the options dialog (opened by Alt+O) under
# that language.
speaks() {
    start env LANGUAGE="$1" PARLINO_NBT_PORT=$port "$PARLINO_BINARY"
    expect "$1: the main window shows" shown
    peer_sends hallo
    expect "$1: the chat window reads \"$2\"" showing "^$2\$"
    xdotool windowactivate --sync "$window" key alt+o
    expect "$1: the options dialog reads \"$3\"" showing "^$3\$"
    kill "$pid"
    wait "$pid"
    status=$?
    pid=
    [ "$status" -eq 0 ] || { echo "FAIL: Parlino ended with $status"; exit 1; }
}

speaks de "Chat mit PEER" "Optionen"
speaks ro "Discuție cu PEER" "Opțiuni"
speaks en "Chat with PEER" "Options"
