# Sourced by the checks of the real program on an X display: starting Parlino in a private session, a peer writing
# to it, waiting for what it shows, pressing "E&xit". The sourcing script sets "session" to an empty folder of its
# own, or has open_session make one.

# open_session: an empty folder of this check's own in "session", removed at its end along with a Parlino
# still running.
open_session() {
    session=$(mktemp -d)
    trap 'rm -rf "$session"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null' EXIT
}

# start COMMAND...: starts Parlino through the command.
start() {
    XDG_RUNTIME_DIR=$session XDG_CONFIG_HOME=$session/config PARLINO_INTERFACES=lo \
        PARLINO_NETBIOS_NAME=X11CHECK PARLINO_MACHINE_INI=$session/none.ini "$@" 2>"$session/stderr" &
    pid=$!
}

# peer_sends TEXT: PEER, a station on loopback, writes the text to Parlino on the check's NetBIOS port ("port").
peer_sends() {
    PARLINO_INTERFACES=lo PARLINO_NBT_PORT=$port PARLINO_NETBIOS_NAME=PEER "$PARLINO_MSG" send X11CHECK "$1" ||
        { echo "FAIL: PEER could not send"; exit 1; }
}

# within TENTHS TEST...: waits up to that many tenths of a second for the test to hold.
within() {
    local tenths=$1 tries=0
    shift
    until "$@"; do
        [ "$tries" -ge "$tenths" ] && return 1
        sleep 0.1
        tries=$((tries + 1))
    done
}

# wait_for TEST...: waits up to ten seconds for the test to hold.
wait_for() {
    within 100 "$@"
}

# painted WINDOW: whether the window shows more than the plain background it has before its first paint.
painted() {
    [ "$(import -window "$1" png:- 2>/dev/null | identify -format %k - 2>/dev/null)" -gt 8 ] 2>/dev/null
}

# showing CAPTION: whether a window whose caption matches the pattern is up; it is then in $found.
showing() {
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$found" ]
}

not_showing() {
    ! showing "$1"
}

shown() {
    showing '^Parlino$' && window=$found
}

hidden() {
    not_showing '^Parlino$'
}

# expect DESCRIPTION TEST...: fails the check unless the test comes to hold.
expect() {
    description=$1
    shift
    if ! wait_for "$@"; then
        echo "FAIL: $description"
        sed 's/^/parlino: /' "$session/stderr"
        exit 1
    fi
    echo "ok: $description"
}

ended() {
    ! kill -0 "$pid" 2>/dev/null
}

# exit_by_button: presses "E&xit", which sits at 331..387 across and 3..48 down in the window, and expects
# Parlino to end with 0. A click the busy display drops is repeated, as a user would.
exit_by_button() {
    presses=0
    until [ "$presses" -ge 3 ] || ended; do
        xdotool mousemove --window "$window" 359 25 click 1
        within 50 ended
        presses=$((presses + 1))
    done
    if ! ended; then
        echo "FAIL: Parlino still runs after E&xit"
        sed 's/^/parlino: /' "$session/stderr"
        exit 1
    fi
    wait "$pid"
    status=$?
    pid=
    echo "Parlino ended with $status"
    [ "$status" -eq 0 ] || exit 1
}
