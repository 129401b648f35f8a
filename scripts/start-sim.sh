# Sourced by the scripts that show the program: start_sim DIR OPTIONS... runs
# the release build's pellrig-sim in the background with OPTIONS, its output in
# DIR/sim.out, waits for its ready line and sets `master` and `news` (empty
# without a news server). The simulator stops when the script exits.
start_sim() {
  local dir=$1
  shift
  build/release/tools/pellrig-sim/pellrig-sim "$@" > "$dir/sim.out" &
  sim=$!
  trap 'kill "$sim" 2>/dev/null || true' EXIT
  for _ in $(seq 100); do
    grep -q '^ready' "$dir/sim.out" 2>/dev/null && break
    sleep 0.1
  done
  master=$(sed -n 's/^ready master=\([^ ]*\).*/\1/p' "$dir/sim.out")
  news=$(sed -n 's/^ready .* news=\([^ ]*\).*/\1/p' "$dir/sim.out")
  [ -n "$master" ] || { echo "the simulator did not start" >&2; exit 1; }
}
