#!/usr/bin/env bash
# Installs what is needed, builds, starts the bundled simulator (a master server
# with thirty game servers, the account service and the news server on
# loopback), then shows what the launcher does with them: a log-in, the server
# list after the paced ping sweep, and the news check.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
bin=$PWD/build/release/tools
demo=build/release/demo
mkdir -p "$demo"
"$bin/pellrig-sim/pellrig-sim" --scenario resources/scenarios/default.json --master-port 0 --news-port 0 \
  --exit-after-ms 120000 > "$demo/sim.out" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  grep -q '^ready' "$demo/sim.out" 2>/dev/null && break
  sleep 0.1
done
master=$(sed -n 's/^ready master=\([^ ]*\).*/\1/p' "$demo/sim.out")
news=$(sed -n 's/^ready .* news=\([^ ]*\).*/\1/p' "$demo/sim.out")
[ -n "$master" ] || { echo "the simulator did not start" >&2; exit 1; }
cd "$demo"
"$bin/pellrig-cli/pellrig-cli" login --user alice --password wonderland --master "$master"
"$bin/pellrig-cli/pellrig-cli" list --master "$master"
"$bin/pellrig-cli/pellrig-cli" news --news "$news"
