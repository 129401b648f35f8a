#!/usr/bin/env bash
# Cross-builds the core, the tools and the core tests for Windows with mingw-w64
# into build/windows, runs the tests under Wine, then lists the Linux
# simulator's servers with pellrig-cli.exe under Wine over loopback.
# Needs the Debian packages g++-mingw-w64-x86-64-posix, wine64 and googletest.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/windows

# wine64's loader is not on PATH; the package's file list says where it is.
wine=$(dpkg -L wine64 2>/dev/null | grep -m1 '/wine64$' || true)
[ -x "$wine" ] || { echo "wine64's loader not found: install the Debian package wine64" >&2; exit 1; }
wineserver=$(dpkg -L wine64 2>/dev/null | grep -m1 '/wineserver64$' || true)
[ -x "$wineserver" ] || wineserver=$(dirname "$wine")/wineserver

rm -rf "$build"
cmake --preset windows -DPELLRIG_WERROR=ON -DPELLRIG_WINE="$wine"
cmake --build --preset windows -j 2

# The prefix is made once, before tests run side by side; the server stays up
# between the many short test processes.
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
sim=
cleanup() {
  [ -z "$sim" ] || kill "$sim" 2>/dev/null || true
  "$wineserver" -k 2>/dev/null || true
}
trap cleanup EXIT
mkdir -p "$WINEPREFIX"
"$wineserver" -p
"$wine" wineboot --init

ctest --test-dir "$build" --output-on-failure -j 2 --timeout 300

# pellrig-cli.exe against the Linux simulator: four servers that answer and
# one whose port is closed, which Windows reports on a later receive.
native_sim=$root/build/dev/tools/pellrig-sim/pellrig-sim
if [ ! -x "$native_sim" ]; then
  cmake --preset dev
  cmake --build --preset dev --target pellrig-sim
fi
cat > "$build/closed-port.json" <<'JSON'
{"servers": [
  {"name": "One", "map": "MAP01"}, {"name": "Two", "map": "MAP02"}, {"name": "Closed", "closed": true},
  {"name": "Three", "map": "MAP03"}, {"name": "Four", "map": "MAP04"}
]}
JSON
servers=5
"$native_sim" --scenario "$build/closed-port.json" --master-port 0 --exit-after-ms 60000 > "$build/sim.out" &
sim=$!
for _ in $(seq 100); do
  grep -q '^ready' "$build/sim.out" 2>/dev/null && break
  sleep 0.1
done
master=$(sed -n 's/^ready master=\([^ ]*\) servers=.*/\1/p' "$build/sim.out")
announced=$(sed -n 's/^ready .*servers=\([0-9]*\).*/\1/p' "$build/sim.out")
[ -n "$master" ] || { echo "the simulator did not start" >&2; exit 1; }
[ "$announced" = "$servers" ] || { echo "the simulator announced $announced servers, not $servers" >&2; exit 1; }

timeout 60 "$wine" "$build/tools/pellrig-cli/pellrig-cli.exe" list --master "$master" --local-port 0 --json \
  > "$build/list.json"
listed=$(grep -c '"address":' "$build/list.json" || true)
silent=$(grep -c '"ping": 9999' "$build/list.json" || true)
answered=$(grep -c '"name": "\(One\|Two\|Three\|Four\)"' "$build/list.json" || true)
if [ "$listed" != "$servers" ] || [ "$silent" != 1 ] || [ "$answered" != 4 ]; then
  echo "pellrig-cli.exe under Wine listed $listed of $servers servers, $silent silent, $answered answered:" >&2
  cat "$build/list.json" >&2
  exit 1
fi
echo "pellrig-cli.exe under Wine listed all $servers of the simulator's servers: the closed one silent, the others with their pings"
