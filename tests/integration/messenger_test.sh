#!/usr/bin/env bash
# Three stations in two workgroups exchange personal, workgroup and "*" messages over real UDP.
set -uo pipefail
msg=$1
source "$(dirname "$0")/netns.sh"
netns_lan 3

out=$(mktemp -d)

station 2 BOB OFFICE listen --json --count 4 --timeout 30 >"$out/bob" &
station 3 CAROL LAB listen --json --count 1 --timeout 30 >"$out/carol" &
eventually 20 udp_bound 2 138 && eventually 20 udp_bound 3 138

send() {  # send INDEX NAME WORKGROUP TARGET TEXT
    station "$1" "$2" "$3" send "$4" "$5" || { echo "FAILED: $2 could not send to $4"; failures=$((failures + 1)); }
}
send 1 ALICE OFFICE BOB "personal"
send 1 ALICE OFFICE OFFICE "to the office"
send 1 ALICE OFFICE '*' "to my workgroup"
send 1 ALICE OFFICE BOB "Grüße aus dem Büro, café ☺"
send 3 CAROL LAB LAB "lab only"
wait

check "BOB receives personal, workgroup, star and non-ASCII messages" \
    '{"from":"ALICE","text":"personal","to":"BOB"}
{"from":"ALICE","text":"to the office","to":"OFFICE"}
{"from":"ALICE","text":"to my workgroup","to":"*"}
{"from":"ALICE","text":"Grüße aus dem Büro, café ?","to":"BOB"}' "$(cat "$out/bob")"
check "CAROL of another workgroup receives only her own workgroup's message" \
    '{"from":"CAROL","text":"lab only","to":"LAB"}' "$(cat "$out/carol")"

rm -rf "$out"
report
