#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: in the normal
# build (then builds the Debian package and checks it), then in a clang build
# with AddressSanitizer and UndefinedBehaviorSanitizer, where the fuzz targets
# also run over their seed corpora as regression cases.
#   DTU_SKIP_SANITIZE=1 scripts/test.sh    the normal build only
#   DTU_ASAN_BUILD_DIR=dir                 where the sanitized build goes (build-asan)
set -euo pipefail
cd "$(dirname "$0")/.."
SANITIZE=1
[[ "${DTU_SKIP_SANITIZE:-0}" == 1 ]] && SANITIZE=0
# Where the time goes, one line per stage at the end.
timings=()
stage_start=$SECONDS
stage() {
  timings+=("$(printf '%5ds  %s' $((SECONDS - stage_start)) "$1")")
  stage_start=$SECONDS
}
trap 'printf "test.sh: %s\n" "${timings[@]}" >&2' EXIT

DTU_WITH_FUZZ="$SANITIZE" scripts/setup.sh
stage "setup"

# Most cases of the normal build wait on a device's time, not on a core: six
# runners a core (on an idle 2-core machine: 82 s with three, 62 s with six,
# 64 s with ten). The sanitized build's cases keep the cores busy: three.
RUNNERS=$(($(nproc) * 6))
SANITIZED_RUNNERS=$(($(nproc) * 3))
scripts/build.sh
stage "build"
(cd "${DTU_BUILD_DIR:-build}" &&
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$RUNNERS" --timeout 300)
stage "tests"
# The Debian package from the build just tested, and what it holds.
scripts/check-package.sh
stage "package"

if [[ "$SANITIZE" == 1 ]]; then
  ASAN_DIR="${DTU_ASAN_BUILD_DIR:-build-asan}"
  CC=clang CXX=clang++ DTU_BUILD_DIR="$ASAN_DIR" scripts/build.sh -DDTU_SANITIZE=ON -DDTU_FUZZ=ON
  stage "sanitized build"
  # Leak checking at exit stays on, with no suppressions: what Qt keeps
  # until exit is still reachable then and is not reported. (The fuzz cases
  # that run the script engine skip libFuzzer's per-input leak check; see
  # fuzz/CMakeLists.txt.)
  # Freed memory waits in a quarantine of 16 MB (the default 256 MB) before
  # it is handed out again: use after free is still caught for far more than
  # a case frees in between, and the processes touch fewer fresh pages, each
  # a page fault (the half's processor time: 254 s -> 216 s).
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_init_order=1:quarantine_size_mb=16"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  (cd "$ASAN_DIR" &&
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$SANITIZED_RUNNERS" --timeout 600)
  stage "sanitized tests"
fi
