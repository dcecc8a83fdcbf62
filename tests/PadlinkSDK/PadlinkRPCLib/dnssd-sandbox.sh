#!/bin/sh
# Runs a command inside a private network of its own, with a private D-Bus system bus and mDNS
# daemon on a veth pair (10.9.9.1 on v0), for the DNS-SD integration test. Needs root.
#   dnssd-sandbox.sh COMMAND [ARGUMENTS...]
# Exit status: the command's; 77 when the sandbox cannot be set up (the reason on stderr).
# The command runs with VANTREL_DNSSD_SANDBOX=inside. Everything started here lives in a private
# PID namespace with its own /proc (which LeakSanitizer reads), so no daemon outlives the script.
set -u
skip() { echo "dnssd-sandbox: $*" >&2; exit 77; }

if [ "${VANTREL_DNSSD_SANDBOX:-}" != "inside" ]; then
    [ "$(id -u)" = 0 ] || skip "network namespaces need root"
    for tool in unshare ip dbus-daemon avahi-daemon timeout; do
        command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
    done
    unshare --net --mount --pid --fork true 2>/dev/null || skip "cannot create network, mount and PID namespaces"
    VANTREL_DNSSD_SANDBOX=inside exec unshare --net --mount --pid --fork --kill-child --mount-proc --propagation private "$0" "$@"
fi

mount -t tmpfs tmpfs /run || skip "cannot mount a private /run"
dir=/run/vantrel-dnssd
mkdir -p "$dir" /run/dbus /run/avahi-daemon
ip link set lo up
ip link add v0 type veth peer name v1 2>/dev/null || skip "veth links are not available"
ip addr add 10.9.9.1/24 dev v0 && ip link set v0 up && ip link set v1 up || skip "cannot configure v0"

cat >"$dir/bus.conf" <<'CONF'
<busconfig>
  <type>system</type>
  <listen>unix:path=/run/dbus/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
CONF
cat >"$dir/avahi.conf" <<'CONF'
[server]
host-name=vantrel-sandbox
use-ipv4=yes
use-ipv6=no
allow-interfaces=v0
enable-dbus=yes
[wide-area]
enable-wide-area=no
[publish]
publish-hinfo=no
publish-workstation=no
CONF

export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/run/dbus/system_bus_socket
dbus-daemon --config-file="$dir/bus.conf" --fork >/dev/null 2>&1 || skip "dbus-daemon did not start"
: >"$dir/avahi.log"
avahi-daemon --no-drop-root --no-chroot --no-rlimits --no-proc-title -f "$dir/avahi.conf" >"$dir/avahi.log" 2>&1 &
# Ready once the host name is established (about a second of probing); 10 s at most.
tries=0
until grep -q "Server startup complete" "$dir/avahi.log"; do
    tries=$((tries + 1))
    [ "$tries" -le 100 ] || skip "avahi-daemon did not start: $(tail -n 3 "$dir/avahi.log")"
    sleep 0.1
done
timeout 30 "$@"
