#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test: the plain build,
# the build under AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets for a
# short while each.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
fuzz_seconds="${FUZZ_SECONDS:-20}"
passed=0

run_ctest() {
  local dir="$1" log
  log="$(mktemp)"
  if ! (cd "$dir" && ctest --output-on-failure -j"$(nproc)" 2>&1 | tee "$log"); then
    rm -f "$log"; echo "0 passed, 1 failed"; exit 1
  fi
  if grep -q "tests failed out of" "$log" && ! grep -q " 0 tests failed" "$log"; then
    rm -f "$log"; echo "0 passed, 1 failed"; exit 1
  fi
  passed=$((passed + $(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)))
  rm -f "$log"
}

echo "== plain build"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=Debug -DORV_BENCH=ON
run_ctest "$root/build"

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/scripts/build.sh" "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DORV_SANITIZE=ON
run_ctest "$root/build-asan"

echo "== fuzz targets, ${fuzz_seconds}s each"
CC=clang CXX=clang++ "$root/scripts/build.sh" "$root/build-fuzz" -DCMAKE_BUILD_TYPE=Debug -DORV_FUZZ=ON
shopt -s nullglob
for f in "$root"/build-fuzz/fuzz_*; do
  [ -f "$f" ] && [ -x "$f" ] || continue
  name="$(basename "$f")"
  corpus="$root/build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "$root/fuzz/seeds/${name#fuzz_}" ] && seeds=("$root/fuzz/seeds/${name#fuzz_}")
  echo "-- $name"
  if ! ASAN_OPTIONS=detect_leaks=0 "$f" -max_total_time="$fuzz_seconds" -rss_limit_mb=4096 \
       -print_final_stats=0 "$corpus" "${seeds[@]}" >"$root/build-fuzz/$name.log" 2>&1; then
    tail -40 "$root/build-fuzz/$name.log"
    echo "0 passed, 1 failed"; exit 1
  fi
  passed=$((passed + 1))
done

echo "$passed passed, 0 failed"
