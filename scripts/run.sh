#!/usr/bin/env bash
# Installs what is missing, builds, and opens the editor; "./scripts/run.sh menu" shows the
# example project in the player instead. Without a display it runs the program under Xvfb,
# saves screenshots (each of the editor's eight pages, or the menu) and prints their paths.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=Debug
what="${1:-editor}"

if [ "$what" = menu ]; then
  project="$root/examples/basic/qor.qor"
  if [ -n "${DISPLAY:-}" ]; then
    exec "$root/build/menu" "$project"
  fi
  shot="$root/build/menu-screenshot.png"
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1" "$2" & pid=$!
    for _ in $(seq 1 50); do
      sleep 0.2
      if xwininfo -root -tree 2>/dev/null | grep -q "642x400"; then break; fi
    done
    sleep 1
    import -window root "$3"
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
  ' _ "$root/build/menu" "$project" "$shot"
  echo "Screenshot of the menu: $shot"
  exit 0
fi

if [ -n "${DISPLAY:-}" ]; then
  exec "$root/build/orvello"
fi

shots="$root/build/editor-screenshots"
mkdir -p "$shots"
rm -f "$shots"/*.png
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$1" & pid=$!
  window=""
  for _ in $(seq 1 50); do
    sleep 0.2
    window="$(xdotool search --name "^Tavolin 1.1" 2>/dev/null | head -1 || true)"
    if [ -n "$window" ]; then break; fi
  done
  if [ -z "$window" ]; then kill $pid 2>/dev/null || true; exit 1; fi
  sleep 1
  n=1
  for page in info background captions layout menu database about help; do
    import -window "$window" "$2/page-$n-$page.png"
    # Ctrl+Tab moves the page control on to the next page.
    xdotool key --window "$window" ctrl+Tab
    sleep 0.5
    n=$((n + 1))
  done
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
' _ "$root/build/orvello" "$shots"
echo "Screenshots of the editor's pages:"
ls -1 "$shots"/*.png
