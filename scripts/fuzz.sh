#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for a while.
#   scripts/fuzz.sh             every target for 60 seconds
#   scripts/fuzz.sh 600         every target for 600 seconds
#   scripts/fuzz.sh 60 frame    one target
# New inputs that reach new code are kept in fuzz/corpus/<target>/; crashes
# are written to build-fuzz/crash-* and should become unit tests.
set -euo pipefail
cd "$(dirname "$0")/.."
DTU_WITH_FUZZ=1 scripts/setup.sh
SECONDS_PER_TARGET="${1:-60}"
ONLY="${2:-}"
CC=clang CXX=clang++ DTU_BUILD_DIR=build-fuzz scripts/build.sh -DDTU_FUZZ=ON -DDTU_SANITIZE=ON
for exe in build-fuzz/fuzz/fuzz_*; do
  name="$(basename "$exe")"
  target="${name#fuzz_}"
  [[ -n "$ONLY" && "$ONLY" != "$target" ]] && continue
  mkdir -p "fuzz/corpus/$target"
  echo "== $name for ${SECONDS_PER_TARGET}s"
  (cd build-fuzz && "../$exe" -max_total_time="$SECONDS_PER_TARGET" -max_len=4096 "../fuzz/corpus/$target")
done
