#!/usr/bin/env bash
# Builds the program and saves pictures of its windows in docs/screenshots,
# drawn on a virtual X display so they look as they do on a desktop. The main
# window shows the simulator's default scenario.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/start-sim.sh
cmake --preset release >/dev/null
cmake --build --preset release --target dialog-screenshots pellrig-sim
out=build/release/screenshots
mkdir -p "$out" docs/screenshots
# A file for the download dialog to fetch, slowly enough to be seen at it.
mkdir -p "$out/wad-site"
head -c 409600 /usr/share/games/doom/freedoom2.wad > "$out/wad-site/pellrig-demo.wad"
start_sim build/release/tools/pellrig-sim/pellrig-sim "$out" --scenario resources/scenarios/default.json \
  --master-port 0 --exit-after-ms 120000 --wad-site "$out/wad-site"
trap 'kill "$sim" 2>/dev/null || true' EXIT
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/release/tools/dialog-screenshots/dialog-screenshots docs/screenshots --master "$master" \
  --wad-site "http://$news/faulty/trickle/{name}"
