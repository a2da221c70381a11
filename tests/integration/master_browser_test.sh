#!/usr/bin/env bash
# The browse list beyond what a station hears: Samba's nmbd is the workgroup's local master browser and smbd serves
# its list. FARHOST announces itself to it and dies without a word; DAVE, started afterwards, never hears FARHOST,
# yet "parlino-msg browse" lists it, as the master browser knows it.
set -uo pipefail
msg=$1
source "$(dirname "$0")/netns.sh"
for tool in smbd nmbd nmblookup; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/deps.sh installs it)"; exit 77; }
done
netns_lan 3

out=$(mktemp -d)
# smbd reads nmbd's list as the guest user of an anonymous session.
chmod 755 "$out"
trap 'stop_samba; netns_cleanup; rm -rf "$out"' EXIT
dir="$out/samba"
stop_samba() {
    cat "$dir"/pid/*.pid 2>/dev/null | xargs -r kill 2>/dev/null
    wait 2>/dev/null
}
mkdir -p "$dir"/{lock,state,cache,pid,private,ncalrpc}
cat >"$dir/smb.conf" <<EOF2
[global]
    netbios name = SAMBA1
    workgroup = OFFICE
    server min protocol = NT1
    preferred master = yes
    os level = 65
    lock directory = $dir/lock
    state directory = $dir/state
    cache directory = $dir/cache
    pid directory = $dir/pid
    private dir = $dir/private
    ncalrpc dir = $dir/ncalrpc
    log file = $dir/log.%m
    passdb backend = tdbsam:$dir/private/passdb.tdb
    load printers = no
    printcap name = /dev/null
    disable spoolss = yes
    usershare max shares = 0
EOF2
for daemon in smbd nmbd; do
    netns_run 1 "$daemon" -F -s "$dir/smb.conf" </dev/null >>"$dir/$daemon.out" 2>&1 &
done

# nmbd wins the election for the local master browser in about a minute.
master_found() {
    netns_run 3 nmblookup -s /dev/null -B 10.213.0.255 'OFFICE#1d' 2>/dev/null | grep -q '^10.213.0.1 OFFICE<1d>'
}
eventually 150 master_found
check "nmbd became OFFICE's local master browser" 0 $?

station 2 FARHOST OFFICE browse --watch 120 >/dev/null 2>&1 &
farhost=$!
listed() { grep -q '"FARHOST"' "$dir/cache/browse.dat" 2>/dev/null; }
eventually 60 listed
check "the master browser lists FARHOST" 0 $?
pkill -KILL -P "$farhost"  # no last announcement
wait "$farhost" 2>/dev/null

check "DAVE lists FARHOST, which he never heard, beside the master browser and himself" "OFFICE
  DAVE
  FARHOST
  SAMBA1" "$(station 3 DAVE OFFICE browse)"
report
