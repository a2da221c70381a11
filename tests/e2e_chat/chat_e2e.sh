#!/usr/bin/env bash
# End to end over real UDP: BOB, a parlino-msg station in one network namespace, writes to ALPHA, a
# Parlino on the current X display in another. ALPHA must open "Chat with BOB" showing the line, and a
# reply typed there must reach BOB. PARLINO_BINARY and PARLINO_MSG name the programs; PARLINO_SCREENSHOT,
# when set, where the chat window's picture goes.
set -uo pipefail
source "$(dirname "$0")/../integration/netns.sh"
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

mkdir -p "$session/run" "$session/config"
chmod 700 "$session/run"
netns_run 1 env XDG_RUNTIME_DIR="$session/run" XDG_CONFIG_HOME="$session/config" \
    PARLINO_MACHINE_INI="$session/none.ini" PARLINO_NETBIOS_NAME=ALPHA PARLINO_WORKGROUP=OFFICE \
    "$PARLINO_BINARY" &
parlino_pid=$!
poll xdotool search --onlyvisible --name '^Parlino$' >/dev/null || fail "Parlino did not show its main window"

bob() {
    netns_run 2 env PARLINO_NETBIOS_NAME=BOB PARLINO_WORKGROUP=OFFICE "$PARLINO_MSG" "$@"
}
bob listen --json --timeout 60 >"$session/bob" &
listener=$!
eventually 20 udp_bound 2 138 || fail "BOB's listener did not start"
bob send ALPHA "hello from bob" || fail "BOB could not send"

window=$(poll xdotool search --onlyvisible --name '^Chat with BOB$' | head -n 1)
[[ -n $window ]] || fail "no window captioned \"Chat with BOB\" opened"
echo "ok: a window captioned \"Chat with BOB\" opened"
sleep 0.3
[[ -n ${PARLINO_SCREENSHOT:-} ]] && import -window "$window" "$PARLINO_SCREENSHOT" && echo "screenshot: $PARLINO_SCREENSHOT"

# The transcript, saved through "&Save" with a name typed into the file chooser, holds the line.
xdotool windowfocus --sync "$window"
xdotool key alt+s
chooser=$(poll xdotool search --onlyvisible --name '^Save As$' | head -n 1)
[[ -n $chooser ]] || fail "\"&Save\" showed no file chooser"
xdotool windowfocus --sync "$chooser"
xdotool type --delay 20 "$session/transcript.rtf"
xdotool key Return
poll ls "$session/transcript.rtf" >/dev/null || fail "the transcript was not saved"
grep -q 'BOB > hello from bob' "$session/transcript.rtf" || fail "the transcript lacks BOB's line: $(cat "$session/transcript.rtf")"
echo "ok: the transcript shows \"BOB > hello from bob\""

xdotool windowfocus --sync "$window"
xdotool type --delay 20 "hello from alpha"
xdotool key Return
expected='{"from":"ALPHA","text":"hello from alpha","to":"BOB"}'
poll grep -F "$expected" "$session/bob" >/dev/null || fail "BOB did not receive the reply; got: $(cat "$session/bob")"
echo "ok: the reply typed into the chat window reached BOB"
kill "$listener" 2>/dev/null
exit 0
