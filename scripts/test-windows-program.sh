#!/usr/bin/env bash
# Tries the Windows installer and the installed program under Wine on a
# virtual X display, against the Linux simulator:
#   a silent install into a fresh folder, with the Start-menu entry;
#   the installed pellrig.exe logs in on its own from its settings file, lists
#   and pings the servers, starts the stand-in game on a double click on a
#   server, and writes pellrig32.cfg at exit;
#   a second copy ends at the bind of its port with the fatal banner;
#   the uninstaller removes what was installed and leaves the settings file and
#   the user's own files.
# Run by scripts/test-windows.sh after the build and packaging, on its virtual
# display; needs wine64, xdotool and freedoom.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/start-sim.sh
root=$PWD
build=$root/build/windows
installer=$1
native_sim=$2
wine=$3
wineserver=$4
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM

work=$build/program-test
rm -rf "$work"
mkdir -p "$work"
sim= program=
cleanup() {
  for pid in $program $sim; do kill "$pid" 2>/dev/null || true; done
  "$wineserver" -k 2>/dev/null || true
}
trap cleanup EXIT
fail() {
  echo "windows program test: $*" >&2
  exit 1
}
[ -n "${DISPLAY:-}" ] || fail "no display: scripts/test-windows.sh provides one"

# The silent install, into a folder named on the command line.
install_dir='C:\pellrig-test\Pellrig'
unix_install_dir=$WINEPREFIX/drive_c/pellrig-test/Pellrig
rm -rf "$WINEPREFIX/drive_c/pellrig-test"
# Wine returns when the installer ends (the test command's wineserver stays up,
# so waiting for it would never end).
timeout 120 "$wine" "$installer" /S "/D=$install_dir"
[ -f "$unix_install_dir/pellrig.exe" ] || fail "the installer put no pellrig.exe in $install_dir"
installed=$(cd "$unix_install_dir" && find . -type f | sort)
shortcut=$(find "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/Pellrig/Pellrig.lnk' | head -n 1)
[ -n "$shortcut" ] || fail "no Start-menu entry"

# The game beside the program, and settings that log alice in with the
# Freedoom WADs found.
cp "$build/tools/stand-in-game/stand-in-game.exe" "$unix_install_dir/brumvekgl.exe"
cli() { (cd "$unix_install_dir" && timeout 60 "$wine" "$build/tools/pellrig-cli/pellrig-cli.exe" "$@"); }
cli wads scan 'Z:\usr\share\games\doom' --save > /dev/null
cli config unattended --user alice --password wonderland

start_sim "$native_sim" "$work" --scenario tests/shell/two_servers.json --master-port 0 --exit-after-ms 300000

# The program, on a port of its own.
port=$((20000 + $$ % 20000))
touch "$work/started"
sleep 1
(cd "$unix_install_dir" && exec "$wine" pellrig.exe --master "$master" --news 127.0.0.1:9 --port "$port") \
  > "$work/program.out" 2>&1 &
program=$!
window=
for _ in $(seq 240); do
  window=$(xdotool search --name '^Brumvek Game Browser' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.5
done
[ -n "$window" ] || fail "no main window within 120 s"

# A second copy finds the port taken.
set +e
(cd "$unix_install_dir" && timeout 120 "$wine" pellrig.exe --master "$master" --port "$port") > "$work/second.out" 2>&1
second=$?
set -e
[ "$second" = 246 ] || fail "the second copy ended with $second, not 246: $(cat "$work/second.out")"
grep -q 'FATAL ERROR' "$work/second.out" || fail "the second copy printed no fatal banner"

# Double clicks on the first server's row (108 pixels down in the window, below
# the menu, the toolbar, the tab and the list's header) until the game starts.
args=$unix_install_dir/args.txt
for _ in $(seq 60); do
  xdotool mousemove --window "$window" 80 108 click --repeat 2 --delay 80 1 2>/dev/null
  [ -f "$args" ] && break
  sleep 1
done
[ -f "$args" ] || fail "no game started within 60 s of double clicks"
tr -d '\r' < "$args" > "$work/args"
grep -qx -- '-connect' "$work/args" && grep -qx '127.0.0.1:[0-9]*' "$work/args" &&
  grep -qx -- '-iwad' "$work/args" && grep -qix '.*freedo.*\.wad' "$work/args" &&
  grep -qx 'alice' "$work/args" || fail "the game got: $(cat "$work/args")"

# Closing the window saves the settings. taskkill without /F asks the way the
# close box does, with WM_CLOSE to the program's windows, and needs no input
# focus, which a display without a window manager does not hand out reliably.
timeout 60 "$wine" taskkill /IM pellrig.exe > /dev/null
for _ in $(seq 60); do
  kill -0 "$program" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$program" 2>/dev/null; then
  windows=$(xdotool search --name '.' getwindowname %@ 2>/dev/null | sort -u | tr '\n' ';' || true)
  fail "the program did not end within 30 s of closing its window; its windows: $windows;" \
    "settings written: $(find "$unix_install_dir" -name pellrig32.cfg -newer "$work/started" | wc -l);" \
    "its output: $(cat "$work/program.out")"
fi
program=
[ -n "$(find "$unix_install_dir/pellrig32.cfg" -newer "$work/started")" ] || fail "pellrig32.cfg not written at exit"

# The uninstaller leaves the user's files and removes the rest.
echo "mine" > "$unix_install_dir/notes.txt"
# The uninstaller runs from a copy of itself and returns at once: wait for its
# last steps to be done.
timeout 120 "$wine" "$install_dir\\uninstall.exe" /S
for _ in $(seq 120); do
  [ -e "$unix_install_dir/uninstall.exe" ] || [ -e "$shortcut" ] || break
  sleep 0.5
done
left=$(cd "$unix_install_dir" && find . -type f | sort | tr '\n' ' ')
expected='./args.txt ./brumvekgl.exe ./notes.txt ./pellrig32.cfg '
[ "$left" = "$expected" ] || fail "after the uninstall the folder holds: $left"
[ ! -e "$shortcut" ] || fail "the Start-menu entry is still there"
echo "installed $(echo "$installed" | wc -l) files; the program logged in, listed, launched and saved; a second copy" \
  "ended at the bind; the uninstaller left only the user's files"
