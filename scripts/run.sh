#!/usr/bin/env bash
# Installs what is needed, builds, starts the bundled simulator (a master server
# with thirty game servers on loopback) and lists its servers the way the
# launcher does: master list, paced ping sweep, server table.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
bin=build/release/tools
"$bin/pellrig-sim/pellrig-sim" --scenario resources/scenarios/default.json --master-port 0 \
  --exit-after-ms 120000 > build/release/sim.out &
sim=$!
trap 'kill "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  grep -q '^ready' build/release/sim.out 2>/dev/null && break
  sleep 0.1
done
master=$(sed -n 's/^ready master=\([^ ]*\).*/\1/p' build/release/sim.out)
[ -n "$master" ] || { echo "the simulator did not start" >&2; exit 1; }
"$bin/pellrig-cli/pellrig-cli" list --master "$master"
