#!/usr/bin/env bash
# A throw-away network for trying "Search the network" by hand. A private "nas" network namespace runs
# the throw-away Samba (build/try-samba, computer CORVTEST) on 10.215.0.1 and announces it three ways:
# wsdd (WS-Discovery), avahi-daemon (DNS-SD, _smb._tcp) and nmbd (NetBIOS). A "phone" namespace joined to
# it by a veth pair has its own avahi-daemon on a private system bus, as a desktop has; Corvane runs there.
# Nothing leaves the two namespaces. Needs root and a built tree; Ctrl+C removes everything.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
nas=corv-try-nas
phone=corv-try-phone
dir=$(mktemp -d /tmp/corvane-try-network-XXXXXX)
pids=()

cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for ns in "$nas" "$phone"; do
        ip netns pids "$ns" 2>/dev/null | xargs -r kill 2>/dev/null || true
        ip netns del "$ns" 2>/dev/null || true
    done
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 0' INT TERM

ip netns add "$nas"
ip netns add "$phone"
ip -n "$nas" link set lo up
ip -n "$phone" link set lo up
ip link add cvtry0 netns "$nas" type veth peer name cvtry1 netns "$phone"
ip -n "$nas" addr add 10.215.0.1/24 dev cvtry0
ip -n "$nas" link set cvtry0 up
ip -n "$nas" route add 224.0.0.0/4 dev cvtry0
ip -n "$phone" addr add 10.215.0.2/24 dev cvtry1
ip -n "$phone" link set cvtry1 up
ip -n "$phone" route add default dev cvtry1

mkdir -p "$dir"/{run,lock,state,cache,private,services,no-services}
cat >"$dir/nmb.conf" <<CONF
[global]
netbios name = CORVTEST
workgroup = WORKGROUP
interfaces = 10.215.0.1/24
bind interfaces only = yes
local master = no
pid directory = $dir/run
lock directory = $dir/lock
state directory = $dir/state
cache directory = $dir/cache
private dir = $dir/private
log file = $dir/log.%m
CONF
cat >"$dir/services/smb.service" <<CONF
<?xml version="1.0" standalone='no'?>
<service-group><name>CORVTEST</name><service><type>_smb._tcp</type><port>445</port></service></service-group>
CONF
avahi_conf() {  # host name, interface, D-Bus yes/no
    printf '[server]\nhost-name=%s\nallow-interfaces=%s\nuse-ipv4=yes\nuse-ipv6=no\nenable-dbus=%s\n' "$1" "$2" "$3"
    printf '[wide-area]\nenable-wide-area=no\n[publish]\npublish-workstation=no\npublish-hinfo=no\n'
}
avahi_conf corvtest cvtry0 no >"$dir/avahi-nas.conf"
avahi_conf corvphone cvtry1 yes >"$dir/avahi-phone.conf"
cat >"$dir/bus.conf" <<CONF
<busconfig><type>system</type><listen>unix:path=$dir/bus</listen><auth>EXTERNAL</auth>
<policy context="default"><allow user="*"/><allow own="*"/><allow send_destination="*" eavesdrop="true"/>
<allow eavesdrop="true"/></policy></busconfig>
CONF
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/bus"
avahi="avahi-daemon --no-drop-root --no-chroot --no-rlimits -f"
private_run="mount -t tmpfs tmpfs /run && mkdir /run/avahi-daemon"

ip netns exec "$nas" "$root/build/try-samba" --address 10.215.0.1 & pids+=($!)
ip netns exec "$nas" /usr/sbin/nmbd --foreground --no-process-group --configfile "$dir/nmb.conf" & pids+=($!)
ip netns exec "$nas" /usr/bin/python3 /usr/sbin/wsdd -4 -i cvtry0 -n CORVTEST -w WORKGROUP >"$dir/wsdd.log" 2>&1 &
pids+=($!)
ip netns exec "$nas" unshare -m sh -c "$private_run && mount --bind $dir/services /etc/avahi/services && exec $avahi $dir/avahi-nas.conf" >"$dir/avahi-nas.log" 2>&1 &
pids+=($!)
dbus-daemon --nofork --nopidfile --config-file="$dir/bus.conf" & pids+=($!)
sleep 1
ip netns exec "$phone" unshare -m sh -c "$private_run && mount --bind $dir/no-services /etc/avahi/services && exec $avahi $dir/avahi-phone.conf" >"$dir/avahi-phone.log" 2>&1 &
pids+=($!)
sleep 2

cat <<TEXT

The network runs. In a second terminal, start Corvane on the phone's side:

  sudo DBUS_SYSTEM_BUS_ADDRESS=$DBUS_SYSTEM_BUS_ADDRESS ip netns exec $phone $root/build/corvane --root /tmp/corvane-try-root

Open the main list's options (F10), choose "Network", tap CORVTEST, then type the share, user name
and password printed above, and Save. Ctrl+C here removes the network.
TEXT
wait
