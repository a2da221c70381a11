#!/usr/bin/env bash
# The names on a WINS server: Samba's nmbd serves WINS on host 1; Parlino on host 2 registers its names there,
# answers node status, and releases the names at its end; a name nmbd on the station's own host registered for it is
# left to nmbd; a name the server refuses is told once.
set -uo pipefail
msg=$1
parlino=$2
source "$(dirname "$0")/netns.sh"
for tool in nmbd nmblookup; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/deps.sh installs it)"; exit 77; }
done
netns_lan 3

out=$(mktemp -d)
trap 'stop_nmbd; netns_cleanup; rm -rf "$out"' EXIT
wins=10.213.0.1

nmbd_dirs=()
# nmbd_on INDEX NAME OPTION: nmbd with a configuration and state of its own on a host.
nmbd_on() {
    local dir="$out/nmbd$1"
    mkdir -p "$dir"/{lock,state,cache,pid,private}
    cat >"$dir/smb.conf" <<CONF
[global]
    netbios name = $2
    workgroup = OFFICE
    $3
    dns proxy = no
    lock directory = $dir/lock
    state directory = $dir/state
    cache directory = $dir/cache
    pid directory = $dir/pid
    private dir = $dir/private
    log file = $dir/log.%m
CONF
    netns_run "$1" nmbd -F -s "$dir/smb.conf" </dev/null >>"$dir/nmbd.out" 2>&1 &
    nmbd_dirs+=("$dir")
}
stop_nmbd() {
    local dir
    for dir in "${nmbd_dirs[@]}"; do
        cat "$dir"/pid/*.pid 2>/dev/null | xargs -r kill 2>/dev/null
    done
    wait 2>/dev/null
}
# wins_holds NAME#SUFFIX: the address the WINS server gives for the name, else "none".
wins_holds() {
    netns_run 1 nmblookup -U "$wins" --recursion "$1" 2>/dev/null | awk '/<..>$/ { print $1; found = 1 } END { if (!found) print "none" }'
}
holds() {  # holds NAME#SUFFIX ADDRESS
    [[ $(wins_holds "$1") == "$2" ]]
}
# Parlino (the child of the background shell PID) takes the end signal over once its window exists (SIGTERM is bit
# 14 of the caught signals' mask).
catches_term() {
    local mask
    mask=$(awk '/^SigCgt/ { print $2 }' "/proc/$(pgrep -P "$1")/status" 2>/dev/null) && (((0x$mask >> 14) & 1))
}

nmbd_on 1 WINSSRV "wins support = yes"
eventually 20 udp_bound 1 137

# 1. Parlino (the GUI, on no screen) registers its names and answers node status.
mkdir -p "$out/home"
chmod 700 "$out/home"
netns_run 2 env HOME="$out/home" XDG_RUNTIME_DIR="$out/home" XDG_CONFIG_HOME="$out/home/config" \
    QT_QPA_PLATFORM=offscreen PARLINO_NETBIOS_NAME=ALICE PARLINO_WORKGROUP=OFFICE PARLINO_WINS_SERVER="$wins" \
    "$parlino" >"$out/alice.out" 2>&1 &
alice=$!
eventually 20 holds 'ALICE#03' 10.213.0.2
check "the WINS server gives ALICE<03> the station's address" 10.213.0.2 "$(wins_holds 'ALICE#03')"
check "and ALICE<00>" 10.213.0.2 "$(wins_holds 'ALICE#00')"
status=$(netns_run 1 nmblookup -A 10.213.0.2 | awk '/<..>/ { print $1, $2, $4 }')
check "node status lists the station's names" "ALICE <00> B
ALICE <03> B
OFFICE <00> <GROUP>
ALICE <20> B" "$status"

# 2. At its end the names go.
eventually 20 catches_term "$alice"
pkill -TERM -P "$alice"
wait "$alice"
check "the GUI ends cleanly when asked to" 0 "$?"
check "ALICE<03> is released at the end" none "$(wins_holds 'ALICE#03')"
check "and ALICE<00>" none "$(wins_holds 'ALICE#00')"

# 3. A name nmbd on the station's host registered is nmbd's: parlino-msg listen leaves it registered.
nmbd_on 3 CAROL "wins server = $wins"
eventually 30 holds 'CAROL#03' 10.213.0.3
PARLINO_WINS_SERVER=$wins station 3 CAROL OFFICE listen --timeout 2 2>"$out/carol.err"
check "CAROL<03>, registered by nmbd on CAROL's host, stays after the station ends" 10.213.0.3 \
    "$(wins_holds 'CAROL#03')"

# 4. A name the server refuses is told once, and the station runs on.
PARLINO_WINS_SERVER=$wins station 2 WINSSRV OFFICE listen --timeout 3 2>"$out/refused.err"
check "a refused name ends nothing" 0 "$?"
check "the refusal of WINSSRV<03> is told once" 1 "$(grep -c 'refused the name WINSSRV<03>' "$out/refused.err")"

report
