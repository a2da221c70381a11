#!/bin/sh
# What a screen reader meets in Parlino, read through a real AT-SPI registry on a private session bus: in the main
# window, a chat window opened by an arriving message and the options dialog opened from the keyboard (Alt+O), every
# control that takes the keyboard must have a name and no decorative frame may pass for a window; and a line that
# arrives in the chat window must be announced as text inserted into its transcript.
# PARLINO_BINARY and PARLINO_MSG name the programs. Exits 77 (skipped) without the AT-SPI tools.
set -u
if [ -z "${PARLINO_A11Y_SESSION:-}" ]; then
    if ! command -v dbus-run-session >/dev/null 2>&1; then
        echo "SKIP: dbus-run-session is not installed (apt-get install dbus)"
        exit 77
    fi
    PARLINO_A11Y_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi

checker="$(dirname "$0")/atspi_check.py"
# The system's own Python carries the GObject bindings, whichever python3 comes first on the path.
python=
for candidate in /usr/bin/python3 python3; do
    if "$candidate" -c 'import gi; gi.require_version("Atspi", "2.0")' >/dev/null 2>&1; then
        python=$candidate
        break
    fi
done
if [ -z "$python" ]; then
    echo "SKIP: no AT-SPI client library (apt-get install gir1.2-atspi-2.0 python3-gi)"
    exit 77
fi
# The accessibility bus must be up before Parlino starts, or Qt never offers it the windows.
if ! dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1; then
    echo "SKIP: no AT-SPI registry (apt-get install at-spi2-core)"
    exit 77
fi

session=$(mktemp -d)
listener=
trap 'rm -rf "$session"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; [ -n "$listener" ] && kill "$listener" 2>/dev/null' EXIT
. "$(dirname "$0")/../app_x11/x11_session.sh"
port=41388

start env PARLINO_NBT_PORT=$port QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$PARLINO_BINARY"
expect "the main window shows" shown
peer_sends "first line"
expect "the message opens a chat window" showing '^Chat with PEER$'
xdotool windowactivate --sync "$window" key alt+o
expect "Alt+O opens the options dialog" showing '^Options$'
options=$found

"$python" "$checker" walk Parlino Parlino "Chat with PEER" Options || exit 1

"$python" "$checker" await-insert "Conversation with PEER" "PEER > second line" >"$session/inserted" &
listener=$!
expect "the listener is registered" grep -qs listening "$session/inserted"
peer_sends "second line"
wait "$listener"
status=$?
listener=
grep -v listening "$session/inserted"
[ "$status" -eq 0 ] || exit 1

xdotool windowactivate --sync "$options" key Escape
expect "Escape closes the options dialog" not_showing '^Options$'
xdotool windowactivate --sync "$window" key alt+x
expect "Alt+X ends Parlino" ended
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || { echo "FAIL: Parlino ended with $status"; exit 1; }
