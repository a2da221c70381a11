# Samba's smbd and nmbd on the hosts of netns.sh, which this file sources. Their configuration and state go under
# $out, which smbd's guest user must be able to read.
source "$(dirname "${BASH_SOURCE[0]}")/netns.sh"
samba_dirs=()
# samba_hosts LAYOUT COUNT TOOL...: skips (77) unless Samba's tools are installed, then the hosts of netns.sh's
# LAYOUT (netns_lan, netns_two_subnets) and $out; the daemons, the hosts and $out go again at the end.
samba_hosts() {
    local layout=$1 count=$2 tool
    shift 2
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/deps.sh installs it)"; exit 77; }
    done
    "$layout" "$count"
    out=$(mktemp -d)
    # smbd reads nmbd's list as the guest user of an anonymous session.
    chmod 755 "$out"
    trap 'stop_samba; netns_cleanup; rm -rf "$out"' EXIT
}
# samba_run INDEX NAME DAEMONS SETTING...: Samba's daemons ("smbd nmbd") on a host with a configuration and state
# of their own under $out, and the settings given ("workgroup = OFFICE"). They run in sessions of their own: as
# they end, they signal their whole process group.
samba_run() {
    local index=$1 name=$2 daemons=$3 dir="$out/samba$1"
    shift 3
    mkdir -p "$dir"/{lock,state,cache,pid,private,ncalrpc}
    {
        cat <<EOF
[global]
    netbios name = $name
    server min protocol = NT1
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
EOF
        printf '    %s\n' "$@"
    } >"$dir/smb.conf"
    local daemon
    for daemon in $daemons; do
        netns_run "$index" "$daemon" -F -s "$dir/smb.conf" </dev/null >>"$dir/$daemon.out" 2>&1 &
    done
    samba_dirs+=("$dir")
}
stop_samba() {
    local dir
    for dir in "${samba_dirs[@]}"; do
        cat "$dir"/pid/*.pid 2>/dev/null | xargs -r kill 2>/dev/null
    done
    wait 2>/dev/null
}
# samba INDEX NAME [SETTING...]: smbd and nmbd in workgroup OFFICE, with the settings given ("message command = ...").
samba() {
    local index=$1 name=$2
    shift 2
    samba_run "$index" "$name" "smbd nmbd" "workgroup = OFFICE" "$@"
}
