# Sourced by the scripts that run the simulator: start_sim SIM DIR OPTIONS...
# runs the pellrig-sim at SIM in the background with OPTIONS, its output in
# DIR/sim.out, waits for its ready line and sets `sim` (its process), `master`,
# `news` (empty without a news server) and `announced` (its game servers).
# Stopping it is the caller's: kill "$sim".
start_sim() {
  local binary=$1 dir=$2
  shift 2
  "$binary" "$@" > "$dir/sim.out" &
  sim=$!
  for _ in $(seq 100); do
    grep -q '^ready' "$dir/sim.out" 2>/dev/null && break
    sleep 0.1
  done
  master=$(sed -n 's/^ready master=\([^ ]*\).*/\1/p' "$dir/sim.out")
  news=$(sed -n 's/^ready .* news=\([^ ]*\).*/\1/p' "$dir/sim.out")
  announced=$(sed -n 's/^ready .*servers=\([0-9]*\).*/\1/p' "$dir/sim.out")
  [ -n "$master" ] || { echo "the simulator did not start" >&2; exit 1; }
}
