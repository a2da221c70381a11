#!/usr/bin/env bash
# Builds Parlino and starts it. Without a display it runs on a private virtual display with a
# notification area, on loopback only, and saves a screenshot of the main window under build/.
set -euo pipefail
cd "$(dirname "$0")"
here=$PWD

# Inside the virtual display (see below): start Parlino, picture its window, run until it ends.
if [ "${PARLINO_RUN_HEADLESS:-}" = 1 ]; then
    PARLINO_INTERFACES=lo build/bin/parlino "$@" &
    pid=$!
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name '^Parlino$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
        sleep 0.1
    done
    sleep 0.5
    if [ -n "${window:-}" ] && import -window "$window" build/parlino-main-window.png; then
        echo "Parlino runs on the virtual display $DISPLAY; its main window: $here/build/parlino-main-window.png"
    fi
    echo "Stop it with Ctrl+C."
    wait "$pid"
    exit $?
fi

bash scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)"

# Help is found through the installation folder; for a build that is this source tree.
printf '[SOFTWARE\\Parlino]\nInstallPath=%s\n' "$here" >build/machine.ini
export PARLINO_MACHINE_INI=$here/build/machine.ini

if [ -n "${DISPLAY:-}" ]; then
    exec build/bin/parlino "$@"
fi
PARLINO_RUN_HEADLESS=1 exec tests/tray_x11/run_tray_x11.sh "$here/run.sh"
