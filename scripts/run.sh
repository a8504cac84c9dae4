#!/usr/bin/env bash
# Builds Linkwise and starts it against the virtual TI-92.
# The window runs with its own temporary settings (the graph-link cable on
# COM1, which is where the virtual calculator listens), so your own settings
# in ~/.config/linkwise/ stay as they are. Arguments go to linkwise.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target linkwise linkwise-virtual-ti92

work=$(mktemp -d "${TMPDIR:-/tmp}/linkwise-run.XXXXXX")
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

"$build/sim/linkwise-virtual-ti92" --port 1 --link "$work/ti92" >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
line=""
for _ in $(seq 50); do
  line=$(grep -m1 '^LINKWISE_COM1=' "$work/sim.out" 2>/dev/null || true)
  [ -n "$line" ] && break
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    cat "$work/sim.err" >&2
    echo "The virtual TI-92 did not start." >&2
    exit 1
  fi
  sleep 0.1
done
if [ -z "$line" ]; then
  echo "The virtual TI-92 did not report its port." >&2
  exit 1
fi
export "$line"
echo "Virtual TI-92 on ${line#LINKWISE_COM1=} (COM1). Click the lamp at the bottom left to check the link."

cat >"$work/settings.ini" <<'INI'
[Settings]
Cabletype=1
Port=0
INI
export LINKWISE_SETTINGS="$work/settings.ini"
"$build/app/linkwise" "$@"
