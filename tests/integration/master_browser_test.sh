#!/usr/bin/env bash
# The browse list beyond what a station hears: Samba's nmbd is the workgroup's local master browser and smbd serves
# its list. FARHOST announces itself to it and dies without a word; DAVE, started afterwards, never hears FARHOST,
# yet "parlino-msg browse" lists it, as the master browser knows it.
set -uo pipefail
msg=$1
source "$(dirname "$0")/samba.sh"
samba_hosts netns_lan 3 smbd nmbd nmblookup
samba 1 SAMBA1 "preferred master = yes" "os level = 65"

# nmbd takes the local master browser role after an election of half a minute or so.
master_found() {
    netns_run 3 nmblookup -s /dev/null -B 10.213.0.255 'OFFICE#1d' 2>/dev/null | grep -q '^10.213.0.1 OFFICE<1d>'
}
eventually 150 master_found
check "nmbd became OFFICE's local master browser" 0 $?

station 2 FARHOST OFFICE browse --watch 120 >/dev/null 2>&1 &
farhost=$!
listed() { grep -q '"FARHOST"' "$out/samba1/cache/browse.dat" 2>/dev/null; }
eventually 60 listed
check "the master browser lists FARHOST" 0 $?
pkill -KILL -P "$farhost"  # no last announcement
wait "$farhost" 2>/dev/null

check "DAVE lists FARHOST, which he never heard, beside the master browser and himself" "OFFICE
  DAVE
  FARHOST
  SAMBA1" "$(station 3 DAVE OFFICE browse)"
report
