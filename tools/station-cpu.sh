#!/usr/bin/env bash
# The station's CPU load on the simulated plate camera: cores kept busy (user + system time of
# all its threads, from /proc/PID/stat) over SECONDS while live, then over SECONDS while a
# picture is held and nobody touches anything. The X server's own work is not counted.
#   tools/station-cpu.sh [STATION_FOLDER] [SECONDS]     (defaults: build/station, 20)
# Without a display it runs itself on a private Xvfb with Mesa's software renderer.
set -eu
station=$(cd "${1:-build/station}" && pwd)
seconds=${2:-20}
tools=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  exec "$tools/with-display.sh" "$0" "$station" "$seconds"
fi
export LIBGL_ALWAYS_SOFTWARE=1 PEDALYX_SIMULATED_CAMERA=${PEDALYX_SIMULATED_CAMERA:-normal}

# Clock ticks of user and system time the process has used so far.
busy_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Cores busy over the given number of seconds.
measure() {
  local before after start end
  before=$(busy_ticks "$pid")
  start=$(date +%s.%N)
  sleep "$1"
  after=$(busy_ticks "$pid")
  end=$(date +%s.%N)
  awk -v t="$((after - before))" -v hz="$(getconf CLK_TCK)" -v s="$start" -v e="$end" \
    'BEGIN { printf "%.3f", t / hz / (e - s) }'
}

log=$(mktemp)
cd "$station"
stdbuf -oL ./Pedalyx >"$log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null; rm -f "$log"' EXIT
# The main window by its title (xdotool's own name search misses the Chinese title).
main_window() {
  local w
  for w in $(xdotool search --onlyvisible --classname . 2>/dev/null); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "足底壓力檢測儀" ] && echo "$w" && return
  done
  return 0
}
window=""
for _ in $(seq 150); do
  window=$(main_window)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "the station's main window did not appear" >&2; cat "$log" >&2; exit 1; }
sleep 5 # the background frames, the empty plate and the customer stepping on
live=$(measure "$seconds")
# "取圖" (take picture) at the main window's top left holds the current picture.
xdotool mousemove --window "$window" 34 49 click 1
sleep 2
grep -q "Take a Picture" "$log" || { echo "the picture was not taken" >&2; exit 1; }
held=$(measure "$seconds")
echo "load average before the end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "station cores busy over ${seconds} s: live $live, held $held"
