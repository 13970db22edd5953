#!/usr/bin/env bash
# Installs what the build and the tests need (Debian 12, as root), then
# configures and builds the project into the given build directory.
#   scripts/setup.sh BUILD_DIR [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev libsnmp-dev snmpd snmp
          valgrind)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq </dev/null
  apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null >/dev/null
  # The packaged agent must not keep running on the standard port: the tests
  # and the demo start their own agents on free loopback ports.
  if command -v systemctl >/dev/null 2>&1; then systemctl stop snmpd >/dev/null 2>&1 || true; fi
fi

build_dir="$1"
shift
cmake -S . -B "$build_dir" -G Ninja "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
