#!/usr/bin/env bash
# The main job: builds Trelvane and its query library, starts a local SNMP
# agent on a free loopback port, installs the sensor into a fresh sensor
# directory with a device profile for that agent, and runs it, printing the
# host report. Extra arguments go to Trelvane behind the profile name, e.g.
#   scripts/demo.sh Slct=lo
#   TRELVANE_FLAVOUR=ContextLines scripts/demo.sh
#   scripts/demo.sh Profiler.Prf      (profiler mode: the trace follows the report)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

scripts/setup.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

work="$(mktemp -d /tmp/trelvane-demo.XXXXXX)"
sensor="$work/Custom Sensors/ExeXml"
mkdir -p "$sensor"
cp build/bin/Trelvane build/bin/Kordavin.Dll "$sensor/"
case "${TRELVANE_FLAVOUR:-Xml}" in
  StatisticLines) touch "$sensor/StatisticLines.Flavour" ;;
  ContextLines) touch "$sensor/ContextLines.Flavour" ;;
esac

agent_pid=""
cleanup() {
  if [ -n "$agent_pid" ]; then kill "$agent_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# A free port: the agent refuses to start on one that is taken, so try a few.
for attempt in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 20000))
  if agent_pid="$(kordavin/tests/start_snmpd.sh "$work/agent" "$port" public 2>/dev/null)"; then
    break
  fi
  agent_pid=""
done
[ -n "$agent_pid" ] || { echo "could not start snmpd on a loopback port" >&2; exit 1; }

printf 'IP-Addr....: 127.0.0.1:%s\r\nAlias......: demo\r\nDescription: Local agent\r\nCommunity..: public\r\nSysnr......: 1\r\n' \
  "$port" >"$sensor/Demo.Prf"

echo "== Trelvane Demo.Prf $* (agent on udp 127.0.0.1:$port, sensor directory $sensor)" >&2
cd "$sensor"
status=0
./Trelvane Demo.Prf "$@" || status=$?
echo "== exit status $status" >&2
if [ -f Profiler.Trc ]; then
  echo "== Profiler.Trc" >&2
  cat Profiler.Trc >&2
fi
exit "$status"
