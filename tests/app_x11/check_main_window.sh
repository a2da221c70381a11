#!/bin/sh
# Starts Parlino on the current X display, finds its main window by caption, presses "E&xit" and
# expects exit code 0; then once more without the right to bind port 138, where it must still run and say
# once on stderr why no message can arrive. PARLINO_BINARY names the program; PARLINO_SCREENSHOT, when set,
# where the window's picture goes (the second one beside it).
set -u
session=$(mktemp -d)
trap 'rm -rf "$session"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null' EXIT

# run_and_exit SCREENSHOT COMMAND...: starts Parlino through the command, pictures its window, presses
# "E&xit" and expects it to end with 0.
run_and_exit() {
    screenshot=$1
    shift
    XDG_RUNTIME_DIR=$session XDG_CONFIG_HOME=$session/config PARLINO_INTERFACES=lo \
        PARLINO_NETBIOS_NAME=X11CHECK PARLINO_MACHINE_INI=$session/none.ini "$@" 2>"$session/stderr" &
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
    [ -n "$screenshot" ] && import -window "$window" "$screenshot" && echo "screenshot: $screenshot"

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
    [ "$status" -eq 0 ] || exit 1
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
