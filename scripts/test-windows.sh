#!/usr/bin/env bash
# Builds Qt for Windows once (scripts/build-qt-windows.sh, kept in its cache
# folder), cross-builds the program, the tools and the tests for Windows with
# mingw-w64 into build/windows and runs the tests under Wine; then lists the
# Linux simulator's servers with pellrig-cli.exe under Wine over loopback,
# makes the zip and the installer, and tries the installer and the installed
# program (scripts/test-windows-program.sh).
# Needs the packages scripts/install-deps.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/start-sim.sh
root=$PWD
build=$root/build/windows

# wine64's loader is not on PATH; the package's file list says where it is.
wine=$(dpkg -L wine64 2>/dev/null | grep -m1 '/wine64$' || true)
[ -x "$wine" ] || { echo "wine64's loader not found: install the Debian package wine64" >&2; exit 1; }
wineserver=$(dpkg -L wine64 2>/dev/null | grep -m1 '/wineserver64$' || true)
[ -x "$wineserver" ] || wineserver=$(dirname "$wine")/wineserver

mkdir -p "$root/build"
bash scripts/build-qt-windows.sh | tee "$root/build/qt-windows.log"
qt=$(tail -n 1 "$root/build/qt-windows.log")

rm -rf "$build"
cmake --preset windows -DPELLRIG_WERROR=ON -DPELLRIG_WINE="$wine" -DPELLRIG_QT_WINDOWS="$qt"
cmake --build --preset windows -j 2

# The prefix is made once, before tests run side by side; the server stays up
# between the many short test processes.
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
sim=
xvfb=
cleanup() {
  [ -z "$sim" ] || kill "$sim" 2>/dev/null || true
  "$wineserver" -k 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
# The window's tests and the program draw on a virtual display of their own.
for display in $(seq 90 130); do
  [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp > "$root/build/xvfb-windows.log" 2>&1 &
xvfb=$!
export DISPLAY=":$display"
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
mkdir -p "$WINEPREFIX"
"$wineserver" -p
timeout 300 "$wine" wineboot --init
# The first window under the new prefix is slow while Wine sets itself up; one
# suite drawn here, on its own, keeps that out of the suites' time-outs.
first_window=$build/tests/shell/tst_text_progress_bar.exe
if [ -f "$first_window" ]; then
  timeout 900 sh cmake/run-qtest-under-wine.sh "$wine" "$first_window" > "$root/build/wine-first-window.log" 2>&1 ||
    { cat "$root/build/wine-first-window.log"; exit 1; }
fi

ctest --test-dir "$build" --output-on-failure --no-tests=error -j 2 --timeout 300

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
start_sim "$native_sim" "$build" --scenario "$build/closed-port.json" --master-port 0 --exit-after-ms 60000
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
kill "$sim" 2>/dev/null || true
sim=

packages=$(bash scripts/package-windows.sh "$build")
ls -l $packages
bash scripts/test-windows-program.sh "$(echo "$packages" | tail -n 1)" "$native_sim" "$wine" "$wineserver"
