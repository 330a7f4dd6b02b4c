#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for a while.
#   scripts/fuzz.sh             every target for 60 seconds
#   scripts/fuzz.sh 600         every target for 600 seconds
#   scripts/fuzz.sh 60 frame    one target
# The seeds are read from fuzz/corpus/<target>/; inputs that reach new code
# are kept in build-fuzz/fuzz/found/<target>/ (copy one into fuzz/corpus to
# keep it). A crash is written to build-fuzz/crash-* and should become a
# unit test. Ends with one line per target: runs done and the outcome.
set -uo pipefail
cd "$(dirname "$0")/.."
DTU_WITH_FUZZ=1 scripts/setup.sh || exit 1
SECONDS_PER_TARGET="${1:-60}"
ONLY="${2:-}"
CC=clang CXX=clang++ DTU_BUILD_DIR=build-fuzz scripts/build.sh -DDTU_FUZZ=ON -DDTU_SANITIZE=ON || exit 1
# Targets that run the script engine: its lazily collected garbage looks
# like a leak to libFuzzer's per-input check.
SCRIPTED=" ack device_replies param_read ext_file profile "
summary=()
failed=0
for exe in build-fuzz/fuzz/fuzz_*; do
  [[ -f "$exe" && -x "$exe" ]] || continue
  name="$(basename "$exe")"
  target="${name#fuzz_}"
  [[ -n "$ONLY" && "$ONLY" != "$target" ]] && continue
  found="build-fuzz/fuzz/found/$target"
  mkdir -p "$found" "fuzz/corpus/$target"
  leaks=()
  [[ "$SCRIPTED" == *" $target "* ]] && leaks=(-detect_leaks=0)
  echo "== $name for ${SECONDS_PER_TARGET}s"
  log="build-fuzz/fuzz/$name.log"
  (cd build-fuzz && "../$exe" -max_total_time="$SECONDS_PER_TARGET" -max_len=4096 "${leaks[@]}" \
      "../$found" "../fuzz/corpus/$target") 2>&1 | tee "$log" | grep -E '^(#[0-9]+.*(DONE|INITED)|Done|==[0-9]+==ERROR)'
  status=${PIPESTATUS[0]}
  runs="$(grep -oE 'Done [0-9]+ runs' "$log" | grep -oE '[0-9]+' || echo '?')"
  if [[ "$status" == 0 ]]; then
    summary+=("$(printf '%-16s %10s runs  no crash' "$target" "$runs")")
  else
    summary+=("$(printf '%-16s %10s runs  FAILED (see %s)' "$target" "$runs" "$log")")
    failed=1
  fi
done
printf '%s\n' "${summary[@]}"
exit "$failed"
