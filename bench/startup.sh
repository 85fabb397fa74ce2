#!/usr/bin/env bash
# startup.sh [BUILD_DIR]: how long the player takes from its start until its menu window is
# mapped on screen at its final place, against a bare Qt widget window of the same size at the
# same place. Both run on the example project's screen (a fresh Xvfb server without a window
# manager), several times and interleaved; the script prints the median of each and their
# ratio. RUNS sets the number of runs of each (21 by default: with fewer, a busy machine moves
# the medians). The programs are built in BUILD_DIR (build-bench by default) as a release
# build (-O2). Both run inside one session bus of their own, as on a desktop: without one,
# the first text a window shows makes Qt's accessibility bridge start a bus by itself, a cost
# no desktop user pays.
set -euo pipefail
export LC_ALL=C
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-bench}"
runs="${RUNS:-21}"

if [ -z "${ORV_STARTUP_INNER:-}" ]; then
  "$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DORV_BENCH=ON -DORV_TESTS=OFF >/dev/null
  exec env ORV_STARTUP_INNER=1 dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" \
    bash "$0" "$build"
fi

player=("$build/menu" "$root/examples/basic/qor.qor")
bare="$build/bench_barewindow"
work="$(mktemp -d)"
trap 'kill "$xev" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

# Every event of the root window's children (the top-level windows, as no window manager
# reparents them), each line stamped with the time it arrived.
mkfifo "$work/events"
stdbuf -oL xev -root -event substructure >"$work/events" 2>/dev/null &
xev=$!
while IFS= read -r line; do
  printf '%s %s\n' "$EPOCHREALTIME" "$line"
done <"$work/events" >"$work/log" &

# Reads the stamped events from line FROM on. With a TARGET geometry ("x,y,WxH") it prints
# the milliseconds from T0 to the event after which a window is mapped with that geometry;
# without one, the geometry of the largest mapped window.
scan() {
  tail -n +"$1" "$work/log" | awk -v target="$2" -v t0="$3" '
    {
      stamp = $1
      line = substr($0, length($1) + 2)
    }
    line ~ /^[A-Za-z]+ event,/ {
      type = substr(line, 1, index(line, " ") - 1)
      at = stamp
      next
    }
    type != "" && match(line, /window 0x[0-9a-f]+/) {
      w = substr(line, RSTART + 7, RLENGTH - 7)
      if (match(line, /\(-?[0-9]+,-?[0-9]+\), width [0-9]+, height [0-9]+/)) {
        g = substr(line, RSTART, RLENGTH)
        gsub(/[(),]|width|height/, " ", g)
        split(g, a, " ")
        geometry[w] = a[1] "," a[2] "," a[3] "x" a[4]
        area[w] = a[3] * a[4]
      }
      if (type == "MapNotify") mapped[w] = 1
      if (type == "UnmapNotify" || type == "DestroyNotify") mapped[w] = 0
      type = ""
      if (target != "" && mapped[w] && geometry[w] == target && !done) {
        printf "%.1f\n", (at - t0) * 1000
        done = 1
        exit
      }
    }
    END {
      if (target != "" || done) exit
      best = ""
      for (w in mapped)
        if (mapped[w] && (best == "" || area[w] > area[best])) best = w
      if (best != "") print geometry[best]
    }'
}

# Starts a program and prints the milliseconds until its window is mapped at TARGET.
measure() {
  local target="$1" from t0 pid result=""
  shift
  from=$(($(wc -l <"$work/log") + 1))
  t0=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 2000); do
    result="$(scan "$from" "$target" "$t0")"
    [ -n "$result" ] && break
    sleep 0.01
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ -n "$result" ] || { echo "no window at $target from $*" >&2; exit 1; }
  echo "$result"
}

# Where the player's window ends up, once it has settled; this run also warms the caches.
learn() {
  local from pid geometry
  from=$(($(wc -l <"$work/log") + 1))
  "${player[@]}" >/dev/null 2>&1 &
  pid=$!
  sleep 3
  geometry="$(scan "$from" "" 0)"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "$geometry"
}

median() {
  sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

sleep 0.5 # xev selects the root window's events
target="$(learn)"
[ -n "$target" ] || { echo "the player showed no window" >&2; exit 1; }
IFS=',x' read -r left top width height <<<"$target"
measure "$target" "$bare" "$width" "$height" "$left" "$top" >/dev/null

: >"$work/player"
: >"$work/bare"
for ((i = 0; i < runs; i++)); do
  measure "$target" "${player[@]}" >>"$work/player"
  measure "$target" "$bare" "$width" "$height" "$left" "$top" >>"$work/bare"
done

p="$(median <"$work/player")"
b="$(median <"$work/bare")"
echo "window ${width}x${height} at ${left},${top}; $runs runs each, interleaved"
echo "player:      median ${p} ms  ($(sort -n "$work/player" | tr '\n' ' '))"
echo "bare window: median ${b} ms  ($(sort -n "$work/bare" | tr '\n' ' '))"
awk -v p="$p" -v b="$b" 'BEGIN { printf "ratio:       %.2f\n", p / b }'
