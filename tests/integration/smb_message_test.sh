#!/usr/bin/env bash
# The SMB message route between namespaces: Samba's smbclient -M reaches parlino-msg listen on TCP 139,
# smbd's message command hands what it receives to parlino-msg listen through parlino-msg deliver, and
# parlino-msg send --smb reaches smbd (found through nmbd by a broadcast name query).
set -uo pipefail
msg=$1
source "$(dirname "$0")/samba.sh"
samba_hosts netns_lan 4 smbclient smbd nmbd nmblookup

holds_mailslot() {  # holds_mailslot INDEX NAME: whether a station of that name opened its messenger mailslot
    netns_run "$1" ss -Hxa | grep -q "@parlino/mailslot/$2/MESSNGR"
}
smbclient_to() {  # smbclient_to INDEX NAME ADDRESS: sends stdin as a message, as root of host INDEX
    netns_run "$1" smbclient -s /dev/null -M "$2" -I "$3" -N >>"$out/smbclient.out" 2>&1
}

long=$(printf 'a long message of more than one block, %s' "$(printf '0123456789%.0s' {1..20})")
check "the long message needs the multi-block commands" 1 "$((${#long} > 128))"

# 1. smbclient -M reaches parlino-msg listen, which holds port 139 itself.
station 2 BOB OFFICE listen --json --count 4 --timeout 30 >"$out/bob" 2>"$out/bob.err" &
listener=$!
eventually 20 tcp_bound 2 139
printf 'hello from smbclient' | smbclient_to 1 BOB 10.213.0.2
printf '%s' "$long" | smbclient_to 1 BOB 10.213.0.2
printf 'Grüße ÄÖ' | smbclient_to 1 BOB 10.213.0.2
second_listener=$(station 2 BOB2 OFFICE listen --timeout 0.1 2>&1 >/dev/null)
printf 'in lower case' | smbclient_to 1 bob 10.213.0.2
wait "$listener"
check "smbclient -M reaches parlino-msg listen: short, multi-block, non-ASCII texts, to this computer's name" \
    "{\"from\":\"root\",\"text\":\"hello from smbclient\",\"to\":\"BOB\"}
{\"from\":\"root\",\"text\":\"$long\",\"to\":\"BOB\"}
{\"from\":\"root\",\"text\":\"Grüße ÄÖ\",\"to\":\"BOB\"}
{\"from\":\"root\",\"text\":\"in lower case\",\"to\":\"BOB\"}" "$(cat "$out/bob")"
check "a second listener on the host is told that another program holds the session port" 1 \
    "$(grep -c 'TCP port 139 (another program holds it' <<<"$second_listener")"
unprivileged=$(netns_run 1 setpriv --inh-caps=-net_bind_service --bounding-set=-net_bind_service \
    env PARLINO_NETBIOS_NAME=EVE "$msg" listen --timeout 0.1 2>&1 >/dev/null)
check "a listener without the privilege is told so" 1 "$(grep -c 'TCP port 139 (it needs a privilege' <<<"$unprivileged")"
check "a listener that holds the port says nothing on stderr" "" "$(cat "$out/bob.err")"

# 2. Beside smbd, which holds port 139, the bridge brings its messages to parlino-msg listen.
samba 3 CAROL "message command = env PARLINO_NETBIOS_NAME=CAROL $msg deliver %f %s &"
eventually 20 tcp_bound 3 139
station 3 CAROL OFFICE listen --json --count 3 --timeout 30 >"$out/carol" 2>"$out/carol.err" &
listener=$!
eventually 20 holds_mailslot 3 CAROL
head -c 65400 /dev/zero | tr '\0' x >"$out/too-long"
bridge_status=$(netns_run 3 env PARLINO_NETBIOS_NAME=CAROL "$msg" deliver root "$out/too-long" 2>&1; echo "exit $?")
check "the bridge keeps a message too long for the listener and fails" "exit 1 kept" \
    "$(tail -1 <<<"$bridge_status") $([[ -e $out/too-long ]] && echo kept)"
mkdir "$out/fixed" && printf 'from a file kept' >"$out/fixed/msg"
bridge_status=$(netns_run 3 unshare -m bash -c 'mount -o bind,ro "$1" "$1" && exec "${@:2}"' _ "$out/fixed" \
    env PARLINO_NETBIOS_NAME=CAROL "$msg" deliver root "$out/fixed/msg" 2>&1; echo "exit $?")
check "the bridge says when it cannot delete a message it delivered" "exit 0 1" \
    "$(tail -1 <<<"$bridge_status") $(grep -c "delivered, but cannot delete $out/fixed/msg" <<<"$bridge_status")"
printf 'through smbd' | smbclient_to 1 CAROL 10.213.0.3
printf 'Grüße\nzweite Zeile' | smbclient_to 1 CAROL 10.213.0.3
wait "$listener"
check "smbd's message command delivers to parlino-msg listen, lines ending in CR LF" \
    '{"from":"root","text":"from a file kept","to":"CAROL"}
{"from":"root","text":"through smbd","to":"CAROL"}
{"from":"root","text":"Grüße\r\nzweite Zeile","to":"CAROL"}' "$(cat "$out/carol")"
check "the listener beside smbd runs on after one line on stderr" 1 "$(grep -c 'TCP port 139' "$out/carol.err")"
check "which says that another program holds the port" 1 "$(grep -c 'another program holds it' "$out/carol.err")"
check "the bridge deletes smbd's message files" "" "$(find /tmp -maxdepth 1 -name 'msg.*' -newer "$out/bob" 2>/dev/null)"
bridge_status=$(netns_run 3 env PARLINO_NETBIOS_NAME=CAROL "$msg" deliver root /dev/null 2>&1; echo "exit $?")
check "without a listener the bridge fails in one line" \
    "parlino-msg: no Parlino of CAROL runs on this host
exit 1" "$bridge_status"

# 3. parlino-msg send --smb finds DAVE through nmbd and reaches smbd, whose message command keeps the text.
mkdir -m 1777 "$out/inbox"
samba 4 DAVE "message command = mv %s $out/inbox/from-%f"
eventually 20 tcp_bound 4 139
eventually 30 netns_run 1 nmblookup -s /dev/null -B 10.213.0.255 'DAVE#03' >/dev/null 2>&1
station 1 ALICE OFFICE send --smb dave "short one"
check "send --smb of a short text to a name in lower case exits 0" 0 $?
station 1 ALICE OFFICE send --smb --from EVE DAVE "$long"
check "send --smb of a long text exits 0" 0 $?
eventually 10 test -e "$out/inbox/from-EVE"
check "smbd receives both texts with their senders" "short one|$long" \
    "$(cat "$out/inbox/from-ALICE")|$(cat "$out/inbox/from-EVE")"
station 1 ALICE OFFICE send --smb NOBODY "lost" 2>"$out/nobody.err"
status=$?
check "send --smb to a name nobody answers exits 1 in one line" \
    "1 parlino-msg: no computer NOBODY answers on the network" "$status $(cat "$out/nobody.err")"
station 1 ALICE OFFICE send --smb DAVEWITHALONGNAME "lost" 2>"$out/long.err"
check "send --smb refuses a name longer than a NetBIOS name, which the query would cut to another" \
    "1 parlino-msg: DAVEWITHALONGNAME is longer than a computer name can be" "$? $(cat "$out/long.err")"

# 4. A peer that answers every name query and opens every session, then only sends keep-alives.
ip netns exec "${NETNS_PREFIX}h2" python3 -c '
import socket, threading, time
names = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
names.bind(("", 137))
def answer():
    while True:  # a positive answer with the address 10.213.0.2
        query, asker = names.recvfrom(600)
        names.sendto(query[:2] + b"\x85\0\0\0\0\1\0\0\0\0" + query[12:50] + bytes(5) + b"\6\0\0\n\xd5\0\2", asker)
def hold(session):
    session.sendall(b"\x82\0\0\0")
    while not time.sleep(0.2):
        session.sendall(b"\x85\0\0\0")
threading.Thread(target=answer, daemon=True).start()
sessions = socket.create_server(("", 139))
while True:
    threading.Thread(target=hold, args=(sessions.accept()[0],), daemon=True).start()
' 2>/dev/null &
peer=$!
eventually 20 tcp_bound 2 139
station 1 ALICE OFFICE send --smb STALL "held" 2>"$out/stall.err"
check "send --smb gives up at the line's deadline on a peer that only sends keep-alives" \
    "1 parlino-msg: STALL did not answer the message in time" "$? $(cat "$out/stall.err")"
held() { [[ -n $(netns_run 2 ss -Htn state established "sport = :139") ]]; }
for signal in INT TERM; do
    ip netns exec "${NETNS_PREFIX}h1" env PARLINO_NETBIOS_NAME=ALICE "$msg" send --smb STALL x &
    sender=$!
    eventually 20 held
    kill -s "$signal" "$sender"
    wait "$sender"
    status=$?
    check "send --smb held by a peer ends at once on SIG$signal" "$((128 + $(kill -l "$signal")))" "$status"
done
kill "$peer"

report
