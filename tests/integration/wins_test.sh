#!/usr/bin/env bash
# Two subnets joined by a router that passes no broadcast, Samba's nmbd as WINS server on the first: stations on
# either side find each other through WINS and exchange messages both ways, as the chat window sends them
# (parlino-msg send) and by the SMB route alone (send --smb); without WINS they are told that nobody answers.
set -uo pipefail
msg=$1
source "$(dirname "$0")/samba.sh"
samba_hosts netns_two_subnets 2 nmbd nmblookup

wins=10.88.1.1
registered() {  # registered NAME ADDRESS: whether the WINS server gives that address for NAME<03>
    netns_run 1-1 nmblookup -s /dev/null -U "$wins" --recursion "$1#03" 2>/dev/null | grep -q "^$2 $1<03>"
}
started=$SECONDS
samba_run 1-1 NAMES nmbd "workgroup = OFFICE" "wins support = yes"
eventually 60 registered NAMES "$wins"
# nmbd on each station's host registers the host's names, which the stations take as their own. Started once
# the server answers, they register at once rather than at their next retry.
samba_run 1-2 ALICE nmbd "workgroup = OFFICE" "wins server = $wins"
samba_run 2-1 BOB nmbd "workgroup = OFFICE" "wins server = $wins"
eventually 60 registered BOB 10.88.2.1
eventually 60 registered ALICE 10.88.1.2
echo "the WINS server and both hosts' names were up after $((SECONDS - started)) s"
# with_wins INDEX NAME ARGS...: the station program, asking the WINS server; kept to eth0, beyond which the
# other subnet lies.
with_wins() {
    local index=$1 name=$2
    shift 2
    netns_run "$index" env PARLINO_NETBIOS_NAME="$name" PARLINO_WORKGROUP=OFFICE PARLINO_WINS_SERVER="$wins" \
        PARLINO_INTERFACES=eth0 "$msg" "$@"
}

# 1. The router passes no broadcast: only WINS finds a computer on the other subnet.
netns_run 1-2 nmblookup -s /dev/null -B 10.88.1.255 'BOB#03' >/dev/null 2>&1
check "a broadcast name query does not cross the router" 1 $?
check "parlino-msg resolve finds each side's station through WINS" "10.88.2.1 WINS|10.88.1.2 WINS" \
    "$(with_wins 1-2 ALICE resolve bob)|$(with_wins 2-1 BOB resolve ALICE)"

# 2. Messages both ways, as the chat window sends and by the SMB route alone.
listeners=()
for side in "2-1 BOB" "1-2 ALICE"; do
    read -r index name <<<"$side"
    with_wins "$index" "$name" listen --json --count 2 --timeout 30 >"$out/$name" 2>"$out/$name.err" &
    listeners+=($!)
    eventually 20 tcp_bound "$index" 139
done
sent=$(with_wins 1-2 ALICE send BOB "hello across the router"; echo $?
    with_wins 1-2 ALICE send --smb BOB "by the SMB route"; echo $?
    with_wins 2-1 BOB send alice "hello back"; echo $?
    with_wins 2-1 BOB send --smb --from CAROL ALICE "from Carol"; echo $?)
check "send and send --smb beyond the router exit 0, both ways" "0 0 0 0" "$(echo $sent)"
wait "${listeners[@]}"
check "BOB on the second subnet receives both" '{"from":"ALICE","text":"hello across the router","to":"BOB"}
{"from":"ALICE","text":"by the SMB route","to":"BOB"}' "$(cat "$out/BOB")"
check "ALICE on the first subnet receives both" '{"from":"BOB","text":"hello back","to":"ALICE"}
{"from":"CAROL","text":"from Carol","to":"ALICE"}' "$(cat "$out/ALICE")"

# 3. Where the SMB route fails, the datagram goes straight to the address. nmbd, which would take it there, ends
# without releasing ALICE's names; her listener leaves TCP 139 alone.
kill -KILL "$(cat "$out/samba1-2/pid/nmbd.pid")"
PARLINO_NBSS_PORT=1139 with_wins 1-2 ALICE listen --json --count 1 --timeout 30 >"$out/ALICE" &
eventually 20 udp_bound 1-2 138
with_wins 2-1 BOB send ALICE "by datagram"
wait $!
check "with no SMB listener, the datagram beyond the router arrives" '{"from":"BOB","text":"by datagram","to":"ALICE"}' \
    "$(cat "$out/ALICE")"

# 4. Without WINS nobody on this side knows BOB, and the sender says so.
netns_run 1-2 "$msg" resolve BOB 2>"$out/resolve.err"
check "without WINS, resolve says that nobody answers" "1 parlino-msg: no computer BOB answers on the network" \
    "$? $(cat "$out/resolve.err")"
netns_run 1-2 "$msg" send --smb BOB lost 2>"$out/send.err"
check "without WINS, send --smb says that nobody answers" "1 parlino-msg: no computer BOB answers on the network" \
    "$? $(cat "$out/send.err")"

report
