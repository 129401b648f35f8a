#!/usr/bin/env bash
# Installs what is needed, builds, starts the bundled simulator (a master server
# with thirty game servers, the account service and the news server on
# loopback) and the program pointed at it. Log in as alice, password
# wonderland. A stand-in game in the demonstration folder shows how a double
# click on a server would start Brumvek. Without a display the program runs on
# a virtual one and pictures of its windows are saved instead.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/start-sim.sh
bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
bin=$PWD/build/release
demo=$bin/demo
mkdir -p "$demo/wad-site"
# A made-up PWAD, empty but well formed, that the server "Freedoom Phase 2 DM"
# needs: the simulator's WAD site serves it, for the program to fetch.
printf 'PWAD\0\0\0\0\014\0\0\0' > "$demo/wad-site/pellrig-demo.wad"
start_sim "$bin/tools/pellrig-sim/pellrig-sim" "$demo" --scenario resources/scenarios/default.json --master-port 0 \
  --news-port 0 --wad-site "$demo/wad-site"
trap 'kill "$sim" 2>/dev/null || true' EXIT
# The simulator's WAD site as the program's WAD Download Sites; its port is new
# each run, so an earlier run's address is brought up to date.
site="http://$news/wads/{name}"
if [ -f "$demo/pellrig.json" ]; then
  sed -i "s#http://127\.0\.0\.1:[0-9]*/wads/{name}#$site#g" "$demo/pellrig.json"
else
  printf '{"wadSites": ["%s"]}\n' "$site" > "$demo/pellrig.json"
fi

# The stand-in game: says what the game would do and keeps how it was started
# in args.txt.
cp "$bin/tools/stand-in-game/stand-in-game" "$demo/brumvekgl.exe"

cd "$demo"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Log in as alice, password wonderland. The WAD files of Freedoom are in /usr/share/games/doom."
  echo "Double-click \"Freedoom Phase 2 DM\": it needs pellrig-demo.wad, which the program offers to fetch"
  echo "from the simulator's WAD site into your first WAD directory."
  "$bin/src/shell/pellrig" --master "$master" --news "$news"
else
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$bin/tools/dialog-screenshots/dialog-screenshots" "$demo/screenshots" --master "$master" > /dev/null
  echo "No display: the program ran on a virtual one, logged in as alice and browsed the simulator."
  echo "Its main window: $demo/screenshots/main-window.png (the other windows beside it)."
fi
