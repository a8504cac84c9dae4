#!/usr/bin/env bash
# Takes the AppStream screenshots (packaging/screenshots/) of the window
# against the virtual TI-92 on a virtual X display. Needs Xvfb, xdotool and
# ImageMagick's import. Usage: scripts/screenshots.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=$root/packaging/screenshots
work=$(mktemp -d "${TMPDIR:-/tmp}/linkwise-shots.XXXXXX")
pids=()
cleanup() {
  # The window first, the display last.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 800x560x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
"$build/sim/linkwise-virtual-ti92" --port 1 --link "$work/ti92" >"$work/sim.out" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do grep -q '^LINKWISE_COM1=' "$work/sim.out" 2>/dev/null && break; sleep 0.1; done
export "$(grep -m1 '^LINKWISE_COM1=' "$work/sim.out")"
printf '[Settings]\nCabletype=1\nPort=0\n[Last]\nMainForm Top=0\nMainForm Left=0\nMainForm Width=790\nMainForm Height=540\n' \
  >"$work/settings.ini"
export LINKWISE_SETTINGS=$work/settings.ini LINKWISE_NO_SPLASH=1 HOME=$work XDG_DATA_HOME=$work/data
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work
"$build/app/linkwise" &
pids+=($!)
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^Linkwise' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the window did not open" >&2; exit 1; }
sleep 1
# No window manager: the window sits at the top left of the screen.
shot() {
  import -window root "$work/$1.png"
  convert "$work/$1.png" -crop 790x540+0+0 +repage -strip -colors 64 "PNG8:$out/$1.png"
}
mkdir -p "$out"
shot menu
# Places in the window of the size above.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep "${3:-1}"; }
next=(655 522)
click 166 100          # Get!
click "${next[@]}" 3   # variables, not a backup: the calculator's list
shot receive
click 575 522          # Previous: the menu
click 166 163          # Screenshot!
click "${next[@]}"
click 162 97 3         # Grab!
shot screenshot
