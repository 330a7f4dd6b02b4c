#!/usr/bin/env bash
# Runs the whole suite of an existing build N times (default 3) while every
# core is kept busy by a load of its own, and counts the failures: a test
# that depends on the machine being idle shows here first.
#   scripts/stress-tests.sh [N]        uses build/ (or $DTU_BUILD_DIR)
set -uo pipefail
cd "$(dirname "$0")/.."
ROUNDS="${1:-3}"
BUILD_DIR="$(realpath -m "${DTU_BUILD_DIR:-build}")" # relative to the checkout, or absolute
[[ -f "$BUILD_DIR/CTestTestfile.cmake" ]] || { echo "stress-tests: build first (scripts/build.sh)" >&2; exit 2; }
# As many runners as scripts/test.sh gives the normal build.
RUNNERS=$(($(nproc) * 6))

load=()
stop_load() { ((${#load[@]})) && kill "${load[@]}" 2>/dev/null; wait 2>/dev/null; }
trap stop_load EXIT
for _ in $(seq "$(nproc)"); do
  (while :; do :; done) &
  load+=($!)
done

failed_rounds=0
for round in $(seq "$ROUNDS"); do
  log="$BUILD_DIR/stress-round-$round.log"
  if (cd "$BUILD_DIR" && QT_QPA_PLATFORM=offscreen ctest --parallel "$RUNNERS" --timeout 300 >"$log" 2>&1); then
    echo "round $round: every test passed ($(grep -o 'out of [0-9]*' "$log" | head -1 | cut -d' ' -f3) cases)"
  else
    failed_rounds=$((failed_rounds + 1))
    echo "round $round: failures (see $log):"
    grep -E '^\s+[0-9]+ - ' "$log" || true
  fi
done
echo "$failed_rounds of $ROUNDS rounds had failures"
[[ $failed_rounds == 0 ]]
