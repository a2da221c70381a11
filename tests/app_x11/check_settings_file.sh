#!/bin/sh
# Starts Parlino on the current X display with a settings file it cannot use: a pipe in the file's place must not
# keep it from starting, and it says once on stderr where the file is and why it is ignored. Then, as root, with the
# settings folder on a small tmpfs that is filled while Parlino runs: "&Minimize" must keep every byte of the
# settings file and show an error. Without root that part is skipped
# (77). PARLINO_BINARY names the program.
set -u
session=$(mktemp -d)
config=$session/config
settings=$config/parlino/parlino.ini
cleanup() {
    [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    mountpoint -q "$config" && umount "$config"
    rm -rf "$session"
}
trap cleanup EXIT

start() {
    XDG_RUNTIME_DIR=$session XDG_CONFIG_HOME=$config PARLINO_INTERFACES=lo PARLINO_NBT_PORT=41386 \
        PARLINO_NETBIOS_NAME=X11FILES PARLINO_MACHINE_INI=$session/none.ini "$PARLINO_BINARY" 2>"$session/stderr" &
    pid=$!
}

# Ends Parlino at once: an orderly end would write the settings file again.
stop() {
    kill -9 "$pid"
    wait "$pid" 2>/dev/null
    pid=
}

# wait_for TEST...: waits up to ten seconds for the test to hold.
wait_for() {
    tries=0
    until "$@"; do
        [ "$tries" -ge 100 ] && return 1
        sleep 0.1
        tries=$((tries + 1))
    done
}

# expect DESCRIPTION TEST...: fails the check unless the test comes to hold.
expect() {
    description=$1
    shift
    if ! wait_for "$@"; then
        echo "FAIL: $description"
        exit 1
    fi
    echo "ok: $description"
}

# Windows captioned Parlino: the main window, and an error box when one shows.
shown() {
    window=$(xdotool search --onlyvisible --name '^Parlino$' 2>/dev/null | head -n 1)
    [ -n "$window" ]
}

error_box_shown() {
    box=$(xdotool search --onlyvisible --name '^Parlino$' 2>/dev/null | grep -vx "$window" | head -n 1)
    [ -n "$box" ]
}

mkdir -p "$config/parlino"
mkfifo "$settings"
start
expect "a pipe in the settings file's place does not keep the window from showing" shown
expected="parlino: Settings file ignored: $settings: not a regular file"
if [ "$(grep -cxF "$expected" "$session/stderr")" -ne 1 ]; then
    echo "FAIL: stderr says: $(cat "$session/stderr")"
    exit 1
fi
echo "ok: said once: $expected"
stop
rm -rf "$config"
mkdir -p "$config"

if [ "$(id -u)" -ne 0 ] || ! mount -t tmpfs -o size=64k parlino-full "$config"; then
    echo "SKIP: filling a disk needs root to mount a tmpfs"
    exit 77
fi
mkdir -p "$config/parlino"
{
    printf '[Optiuni]\nCheckRefresh_Checked=False\n[Notes]\n'
    for i in $(seq 10 50); do printf 'note%s=kept through a full disk\n' "$i"; done
} >"$settings"
before=$(md5sum <"$settings")
start
expect "Parlino starts with its settings file" shown
dd if=/dev/zero of="$config/filler" bs=1k 2>/dev/null
# "&Minimize" sits at 182..238 across.
xdotool mousemove --window "$window" 210 25 click 1
# Its text, with the path and the reason, is checked where the store is tested: X11 does not carry it.
expect "&Minimize on a full disk shows the error box of a failed write" error_box_shown
[ "$(md5sum <"$settings")" = "$before" ] || { echo "FAIL: the settings file changed: $(wc -c <"$settings") bytes"; exit 1; }
[ "$(ls -A "$config/parlino")" = "parlino.ini" ] || { echo "FAIL: left behind: $(ls -A "$config/parlino")"; exit 1; }
echo "ok: the settings file keeps every byte, and nothing is left beside it"
