#!/bin/sh
# Starts Debian's snmpd on the loopback addresses, for tests and demos.
#
#   start_snmpd.sh DIR PORT [COMMUNITY]
#
# Writes DIR/snmpd.conf, starts snmpd in the background listening on
# udp:127.0.0.1:PORT and udp6:[::1]:PORT, waits until it is ready, and prints
# its process id (stop it with `kill PID`). The agent answers COMMUNITY
# (default "public"; blanks are fine, double quotes are not) with SNMP v1 and
# v2c, and the community "v1only" with SNMP v1 alone. Its log is DIR/snmpd.log.
# Set SNMPD to use another snmpd binary.
set -eu

if [ $# -lt 2 ]; then
  echo "usage: $0 DIR PORT [COMMUNITY]" >&2
  exit 2
fi
dir=$1
port=$2
community=${3:-public}
snmpd=${SNMPD:-/usr/sbin/snmpd}

if [ ! -x "$snmpd" ]; then
  echo "$0: $snmpd not found (Debian package snmpd)" >&2
  exit 3
fi

mkdir -p "$dir/persist"
cat >"$dir/snmpd.conf" <<CONF
rocommunity  "$community" 127.0.0.1
rocommunity6 "$community" ::1
com2sec  v1only 127.0.0.1 v1only
group    v1only v1 v1only
view     everything included .1
access   v1only "" v1 noauth exact everything none none
sysName     kordavin-test
sysLocation Rack 7: row.2
sysContact  Ops <ops@example.org> & co
CONF
rm -f "$dir/snmpd.log" "$dir/snmpd.pid"

# -C: no configuration but ours. The persistent directory is private, so the
# agent neither reads nor writes the machine's state.
SNMP_PERSISTENT_DIR="$dir/persist" MIBS="" \
  "$snmpd" -f -C -c "$dir/snmpd.conf" -p "$dir/snmpd.pid" -Lf "$dir/snmpd.log" \
  "udp:127.0.0.1:$port,udp6:[::1]:$port" </dev/null >/dev/null 2>&1 &
pid=$!

# Ready once it has logged its version line (after binding its ports).
tries=0
while ! grep -q "NET-SNMP version" "$dir/snmpd.log" 2>/dev/null; do
  if ! kill -0 "$pid" 2>/dev/null || [ $tries -ge 200 ]; then
    echo "$0: snmpd did not start; its log:" >&2
    cat "$dir/snmpd.log" >&2 2>/dev/null || true
    kill "$pid" 2>/dev/null || true
    exit 1
  fi
  tries=$((tries + 1))
  sleep 0.05
done
echo "$pid"
