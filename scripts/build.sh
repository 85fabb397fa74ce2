#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures (once) and builds one configuration.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$1"; shift
# Qt's meta-object step does not notice headers that appear in an existing build folder, so
# start it afresh whenever the set of headers changed.
headers="$(cd "$root" && find src tests -name '*.h' | sort | md5sum | cut -d' ' -f1)"
if [ -d "$dir" ] && [ "$(cat "$dir/.headers" 2>/dev/null)" != "$headers" ]; then
  rm -rf "$dir"/*_autogen
fi
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
echo "$headers" > "$dir/.headers"
