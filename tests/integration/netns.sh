# Test hosts in network namespaces of our own, joined by a bridge in a namespace of its own, so no
# frame ever reaches the machine's real interfaces. Source this file; it needs root and iproute2.

netns_require() {
    if [[ $(id -u) -ne 0 ]] || ! command -v ip >/dev/null; then
        echo "SKIP: network namespaces need root and iproute2"
        exit 77
    fi
    if ! ip netns add "parlino-probe-$$" 2>/dev/null; then
        echo "SKIP: this machine does not allow network namespaces"
        exit 77
    fi
    ip netns del "parlino-probe-$$"
}

NETNS_PREFIX="pl$$"
NETNS_HOSTS=()

netns_setup_hub() {
    ip netns add "${NETNS_PREFIX}hub"
    ip -n "${NETNS_PREFIX}hub" link add br0 type bridge
    ip -n "${NETNS_PREFIX}hub" link set br0 up
}

# netns_add_host INDEX: a host 10.213.0.INDEX/24 on the hub's bridge.
netns_add_host() {
    local index=$1 ns="${NETNS_PREFIX}h$1"
    ip netns add "$ns"
    ip link add "${NETNS_PREFIX}v$index" netns "$ns" type veth peer name "p$index" netns "${NETNS_PREFIX}hub"
    ip -n "$ns" link set "${NETNS_PREFIX}v$index" name eth0
    ip -n "$ns" addr add "10.213.0.$index/24" broadcast 10.213.0.255 dev eth0
    ip -n "$ns" link set eth0 up
    ip -n "$ns" link set lo up
    ip -n "${NETNS_PREFIX}hub" link set "p$index" master br0 up
    NETNS_HOSTS+=("$ns")
}

# netns_lan COUNT: hosts 1..COUNT on one bridge, removed again when the script ends (skips without root).
netns_lan() {
    netns_require
    trap netns_cleanup EXIT
    netns_setup_hub
    local i
    for ((i = 1; i <= $1; i++)); do netns_add_host "$i"; done
}

# netns_run INDEX COMMAND...: runs a command on a host.
netns_run() {
    local index=$1
    shift
    ip netns exec "${NETNS_PREFIX}h$index" "$@"
}

netns_cleanup() {
    local ns
    for ns in "${NETNS_HOSTS[@]}" "${NETNS_PREFIX}hub"; do
        ip netns pids "$ns" 2>/dev/null | xargs -r kill 2>/dev/null
        ip netns del "$ns" 2>/dev/null
    done
}

# station INDEX NAME WORKGROUP ARGS...: the station program ($msg) under that name and workgroup on a host.
station() {
    local index=$1 name=$2 group=$3
    shift 3
    netns_run "$index" env PARLINO_NETBIOS_NAME="$name" PARLINO_WORKGROUP="$group" "$msg" "$@"
}

# eventually SECONDS COMMAND...: runs the command every tenth of a second until it succeeds or the time is up.
eventually() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# udp_bound INDEX PORT: whether something on that host listens on the UDP port.
udp_bound() {
    [[ -n $(netns_run "$1" ss -Hlun "sport = :$2") ]]
}

failures=0
passes=0
check() {  # check WHAT EXPECTED ACTUAL
    if [[ "$2" == "$3" ]]; then
        echo "ok: $1"
        passes=$((passes + 1))
    else
        echo "FAILED: $1"
        echo "  expected: $2"
        echo "  actual:   $3"
        failures=$((failures + 1))
    fi
}

# Ends the script with the closing line test runners read, and fails it when a check failed.
report() {
    echo "$passes passed, $failures failed"
    [[ $failures -eq 0 ]]
}
