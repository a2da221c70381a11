#!/usr/bin/env bash
# Three stations in two workgroups find each other with "parlino-msg browse" over real UDP, and a station
# that ends leaves the others' lists at once through its last announcement.
set -uo pipefail
msg=$1
source "$(dirname "$0")/netns.sh"
netns_lan 3

out=$(mktemp -d)
# The list a watching station printed last (its blocks are separated by empty lines).
last_list() {
    awk -v RS= 'END { print }' "$1"
}

everyone='LAB
  CAROL
OFFICE
  ALICE
  BOB'
without_bob='LAB
  CAROL
OFFICE
  ALICE'

# lists WHO EXPECTED: whether the list that station printed last is the expected one.
lists() {
    [[ $(last_list "$out/$1") == "$2" ]]
}

# Each watches for longer than the test can take and is asked to end at its close.
station 1 ALICE OFFICE browse --watch 60 >"$out/alice" &
alice=$!
station 2 BOB OFFICE browse --watch 60 >"$out/bob" &
bob=$!
station 3 CAROL LAB browse --watch 60 >"$out/carol" &
carol=$!
# A station's list is due 1.2 s after it starts; a loaded machine may start it late.
for who in alice bob carol; do
    eventually 15 lists "$who" "$everyone"
    check "$who sees all three stations" "$everyone" "$(last_list "$out/$who")"
done

# A sender on another host resolves ALICE's messenger name by broadcast and learns her address.
resolve() {  # resolve INDEX NAME SUFFIX: prints the address in the first answer, if any
    netns_run "$1" python3 - "$2" "$3" <<'PY'
import socket, struct, sys
name = sys.argv[1].upper().ljust(15).encode() + bytes([int(sys.argv[2], 16)])
encoded = bytes([32]) + bytes(c for b in name for c in (65 + (b >> 4), 65 + (b & 15))) + b"\0"
query = struct.pack(">HHHHHH", 0x4242, 0x0110, 1, 0, 0, 0) + encoded + struct.pack(">HH", 0x20, 1)
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
s.settimeout(1.0)
s.sendto(query, ("10.213.0.255", 137))
try:
    answer = s.recv(576)
    print(socket.inet_ntoa(answer[-4:]))
except socket.timeout:
    print("no answer")
PY
}
check "ALICE answers a name query for ALICE<03> with her address" "10.213.0.1" "$(resolve 2 ALICE 03)"

# ERIN, beside CAROL but confined to loopback, neither hears nor answers the LAN; she still browses there.
netns_run 3 env PARLINO_INTERFACES=lo PARLINO_NETBIOS_NAME=ERIN PARLINO_WORKGROUP=LAB "$msg" browse --watch 60 \
    >"$out/erin" &
erin=$!
eventually 15 lists erin 'LAB
  ERIN'
check "ERIN, confined to loopback, lists only herself" 'LAB
  ERIN' "$(last_list "$out/erin")"
check "ERIN, confined to loopback, does not answer a name query from the LAN" "no answer" "$(resolve 2 ERIN 03)"
pkill -TERM -P "$erin"

# BOB is asked to end, as a logout would; the others let him go at his last announcement, without
# waiting for his entry to age out (that takes minutes, far beyond these time-outs).
pkill -TERM -P "$bob"  # the station itself, a child of the background shell
wait "$bob"
check "BOB ends cleanly when asked to" "0" "$?"
for who in alice carol; do
    eventually 15 lists "$who" "$without_bob"
    check "$who no longer lists BOB once he has ended" "$without_bob" "$(last_list "$out/$who")"
done
check "a one-shot browse from a fourth name sees who is up now" "$without_bob
  DAVE" "$(station 2 DAVE OFFICE browse)"
pkill -TERM -P "$alice"
pkill -TERM -P "$carol"
wait

rm -rf "$out"
report
