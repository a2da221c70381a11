#!/usr/bin/env bash
# The names on a WINS server: Samba's nmbd serves WINS on host 1; Parlino on host 2 registers its names there, answers
# node status and releases the names at its end; a name nmbd on the station's own host registered is left to nmbd; a
# name the server refuses is told once.
set -uo pipefail
msg=$1
parlino=$2
source "$(dirname "$0")/samba.sh"
samba_hosts netns_lan 3 nmbd nmblookup
export PARLINO_WINS_SERVER=10.213.0.1

nmbd_on() {  # nmbd_on INDEX NAME SETTING: nmbd in workgroup OFFICE on a host, not asking DNS for unknown names
    samba_run "$1" "$2" nmbd "workgroup = OFFICE" "$3" "dns proxy = no"
}
wins_holds() {  # wins_holds NAME#SUFFIX: the address the WINS server gives for the name, else "none"
    netns_run 1 nmblookup -U "$PARLINO_WINS_SERVER" --recursion "$1" 2>/dev/null |
        awk '/<..>$/ { print $1; found = 1 } END { if (!found) print "none" }'
}
holds() { [[ $(wins_holds "$1") == "$2" ]]; }
# Parlino (the child of the background shell PID) takes the end signal over once its window exists (SIGTERM is bit
# 14 of the caught signals' mask).
catches_term() {
    local mask
    mask=$(awk '/^SigCgt/ { print $2 }' "/proc/$(pgrep -P "$1")/status" 2>/dev/null) && (((0x$mask >> 14) & 1))
}

nmbd_on 1 WINSSRV "wins support = yes"
eventually 20 udp_bound 1 137

# 1. Parlino (the GUI, on no screen) registers its names and answers node status.
mkdir -m 700 "$out/home"
netns_run 2 env HOME="$out/home" XDG_RUNTIME_DIR="$out/home" XDG_CONFIG_HOME="$out/home" QT_QPA_PLATFORM=offscreen \
    PARLINO_NETBIOS_NAME=ALICE PARLINO_WORKGROUP=OFFICE "$parlino" >"$out/alice.out" 2>&1 &
alice=$!
eventually 20 holds 'ALICE#03' 10.213.0.2
check "the WINS server gives ALICE<03> and ALICE<00> the station's address" "10.213.0.2 10.213.0.2" \
    "$(wins_holds 'ALICE#03') $(wins_holds 'ALICE#00')"
check "node status lists the station's names" "ALICE <00> B
ALICE <03> B
OFFICE <00> <GROUP>
ALICE <20> B" "$(netns_run 1 nmblookup -A 10.213.0.2 | awk '/<..>/ { print $1, $2, $4 }')"

# 2. At its end the names go.
eventually 20 catches_term "$alice"
pkill -TERM -P "$alice"
wait "$alice"
check "the GUI ends cleanly when asked to" 0 "$?"
check "ALICE<03> and ALICE<00> are released at the end" "none none" \
    "$(wins_holds 'ALICE#03') $(wins_holds 'ALICE#00')"

# 3. A name nmbd on the station's host registered is nmbd's: parlino-msg listen leaves it registered.
nmbd_on 3 CAROL "wins server = $PARLINO_WINS_SERVER"
eventually 30 holds 'CAROL#03' 10.213.0.3
station 3 CAROL OFFICE listen --timeout 2
check "CAROL<03>, registered by nmbd on CAROL's host, stays after the station ends" 10.213.0.3 \
    "$(wins_holds 'CAROL#03')"

# 4. A name the server refuses is told once, and the station runs on.
station 2 WINSSRV OFFICE listen --timeout 3 2>"$out/refused.err"
check "a refused name ends nothing" 0 "$?"
check "the refusal of WINSSRV<03> is told once" 1 "$(grep -c 'refused the name WINSSRV<03>' "$out/refused.err")"

report
