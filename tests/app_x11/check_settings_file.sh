#!/bin/sh
# Parlino on the current X display (PARLINO_BINARY) with a settings file it cannot use: a pipe in the file's place
# must not keep the window from showing, and stderr says once where the file is and why it is ignored. Then, as
# root, with the settings on a small tmpfs filled while Parlino runs: "&Minimize" must show an error and leave every
# byte of the file. Without root that part is skipped (77).
set -u
session=$(mktemp -d)
config=$session/config
settings=$config/parlino/parlino.ini
trap '[ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null && wait "$pid"; mountpoint -q "$config" && umount "$config"; rm -rf "$session"' EXIT

. "$(dirname "$0")/x11_session.sh"
# Away from the real NetBIOS port, which another test may hold.
export PARLINO_NBT_PORT=41386

# The second box captioned Parlino is an error box.
error_box_shown() {
    xdotool search --onlyvisible --name '^Parlino$' 2>/dev/null | grep -vqx "$window"
}

mkdir -p "$config/parlino"
mkfifo "$settings"
start "$PARLINO_BINARY"
expect "a pipe in the settings file's place does not keep the window from showing" shown
said="parlino: Settings file ignored: $settings: not a regular file"
[ "$(grep -cxF "$said" "$session/stderr")" -eq 1 ] || { echo "FAIL: stderr says: $(cat "$session/stderr")"; exit 1; }
echo "ok: said once: $said"
# Reaped before the next start, which would otherwise find the instance lock still held and leave.
kill -9 "$pid" && wait "$pid"
rm -rf "$config" && mkdir "$config"

if [ "$(id -u)" -ne 0 ] || ! mount -t tmpfs -o size=64k parlino-full "$config"; then
    echo "SKIP: filling a disk needs root to mount a tmpfs"
    exit 77
fi
mkdir "$config/parlino"
printf '[Optiuni]\nCheckRefresh_Checked=False\n[Notes]\n' >"$settings"
seq -f 'note%g=kept through a full disk' 40 >>"$settings"
before=$(md5sum <"$settings")
start "$PARLINO_BINARY"
expect "Parlino starts with its settings file" shown
dd if=/dev/zero of="$config/filler" bs=1k 2>/dev/null
# "&Minimize" sits at 182..238 across. The box's text (path and reason) is checked where the store is tested.
xdotool mousemove --window "$window" 210 25 click 1
expect "&Minimize on a full disk shows the error box of a failed write" error_box_shown
[ "$(md5sum <"$settings")" = "$before" ] || { echo "FAIL: the settings file is now $(wc -c <"$settings") bytes"; exit 1; }
[ "$(ls -A "$config/parlino")" = "parlino.ini" ] || { echo "FAIL: left beside it: $(ls -A "$config/parlino")"; exit 1; }
echo "ok: the settings file keeps every byte, and nothing is left beside it"
