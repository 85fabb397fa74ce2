#!/usr/bin/env bash
# Installs what is missing, builds, and runs the player on the example project. Without a
# display it runs under Xvfb, saves a screenshot of the menu and prints the file's path.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=Debug
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
