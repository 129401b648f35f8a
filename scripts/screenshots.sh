#!/usr/bin/env bash
# Builds the program and saves pictures of its windows in docs/screenshots,
# drawn on a virtual X display so they look as they do on a desktop. The main
# window shows the simulator's default scenario.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target dialog-screenshots pellrig-sim
out=build/release/screenshots
mkdir -p "$out" docs/screenshots
build/release/tools/pellrig-sim/pellrig-sim --scenario resources/scenarios/default.json --master-port 0 \
  --exit-after-ms 120000 > "$out/sim.out" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  grep -q '^ready' "$out/sim.out" 2>/dev/null && break
  sleep 0.1
done
master=$(sed -n 's/^ready master=\([^ ]*\).*/\1/p' "$out/sim.out")
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/release/tools/dialog-screenshots/dialog-screenshots docs/screenshots --master "$master"
