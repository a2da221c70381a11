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

# Bad arguments are refused as usage errors (64) before anything is bound or sent.
refused() {  # refused ARGS...: the exit status, from a host of its own
    station 1 ALICE OFFICE "$@" 2>/dev/null </dev/null
    echo $?
}
check "a --from without its name is refused" 64 "$(refused send BOB --from)"
check "a --count with an empty value is refused" 64 "$(refused listen --count '')"
check "a --timeout that is not a number of seconds is refused" "64 64 64" \
    "$(refused listen --timeout nan) $(refused listen --timeout 1e12) $(refused listen --timeout '')"
check "a --watch below zero is refused" 64 "$(refused browse --watch -1)"

rm -rf "$out"
report
