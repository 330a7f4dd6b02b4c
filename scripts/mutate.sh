#!/usr/bin/env bash
# Puts the one-line faults of tests/mutants.txt into the sources one at a
# time, rebuilds the build directory incrementally, runs the tests (stopping
# at the first failure) and says for each fault whether a test caught it
# ("killed") or not ("survived"). The source is restored after each fault and
# the build once more at the end.
#
#   scripts/mutate.sh                   every fault
#   scripts/mutate.sh -f WriteLoop      the faults whose file matches (a grep -E pattern)
#   scripts/mutate.sh -r 'fleet|level'  the faults whose rule matches
#   scripts/mutate.sh -q                only the tests a block names (quick; a survivor
#                                       may still be killed by the whole suite)
#   scripts/mutate.sh -l                list the faults and check that each applies
#   DTU_BUILD_DIR=dir                   the build directory (build); configured already
#   DTU_MUTANTS=file                    another list (tests/mutants.txt)
#
# Only the programs and the test programs are rebuilt (not the benchmarks),
# and the cases that check the tree rather than the code (layers/,
# translations/, dist/) are not run.
#
# Exit status: 0 when every fault run was killed, 1 when one survived or one
# no longer applies (its "from" text is not in the file exactly once).
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${DTU_BUILD_DIR:-build}"
LIST="${DTU_MUTANTS:-tests/mutants.txt}"
file_filter=
rule_filter=
quick=0
list_only=0
while getopts "f:r:qlh" opt; do
  case $opt in
    f) file_filter=$OPTARG ;;
    r) rule_filter=$OPTARG ;;
    q) quick=1 ;;
    l) list_only=1 ;;
    *) sed -n "2,21p" "$0"; exit 2 ;;
  esac
done
[[ -d "$BUILD_DIR" ]] || { echo "mutate.sh: no build directory $BUILD_DIR (scripts/build.sh first)" >&2; exit 2; }

# The blocks as records separated by NUL: index, rule, file, from, to, tests, equivalent.
blockfile=$(mktemp)
python3 - "$LIST" "$file_filter" "$rule_filter" >"$blockfile" <<'EOF'
import re, sys
path, file_filter, rule_filter = sys.argv[1:4]
blocks, cur = [], {}
for raw in open(path, encoding="utf-8").read().split("\n") + [""]:
    if raw.startswith("#"):
        continue
    if not raw.strip():
        if cur:
            blocks.append(cur)
        cur = {}
        continue
    key, sep, value = raw.partition(":")
    if not sep or key not in ("rule", "file", "from", "to", "tests", "equivalent"):
        sys.exit(f"{path}: not a field: {raw}")
    cur[key] = value[1:] if value.startswith(" ") else value
out = []
for i, b in enumerate(blocks, 1):
    for need in ("rule", "file", "from", "to"):
        if need not in b:
            sys.exit(f"{path}: block {i} has no {need}:")
    if file_filter and not re.search(file_filter, b["file"]):
        continue
    if rule_filter and not re.search(rule_filter, b["rule"]):
        continue
    out += [str(i), b["rule"], b["file"], b["from"], b["to"], b.get("tests", ""), b.get("equivalent", "")]
sys.stdout.write("".join(f + "\0" for f in out))
EOF
[[ $? -eq 0 ]] || { rm -f "$blockfile"; exit 2; }
fields=()
while IFS= read -r -d '' field; do fields+=("$field"); done <"$blockfile"
rm -f "$blockfile"

# Replaces the one occurrence of FROM in FILE by TO; fails when FROM does not
# occur exactly once.
apply() {
  python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, old, new = sys.argv[1:4]
text = open(path, encoding="utf-8").read()
n = text.count(old)
if n != 1:
    sys.exit(f"occurs {n} times")
open(path, "w", encoding="utf-8").write(text.replace(old, new, 1))
EOF
}

backup=
restore() {
  if [[ -n "$backup" ]]; then
    # Written anew (not copied with its old time stamp), so the next build
    # compiles the restored file again.
    cat "$backup.orig" >"$backup" && rm -f "$backup.orig"
    backup=
  fi
}
trap 'restore; exit 130' INT TERM

TARGETS=(dtuconfig dtucfg dtusim dtu_unit_tests dtu_e2e_tests dtu_sim_tests dtu_ui_tests dtu_records_tests)
run_tests() { # pattern (empty: all)
  local args=(--test-dir "$BUILD_DIR" --stop-on-failure --timeout 120 -j2 -Q -E '^(layers|translations|dist)/')
  [[ -n "$1" ]] && args+=(-R "$1")
  QT_QPA_PLATFORM=offscreen ctest "${args[@]}" >/dev/null 2>&1
}

killed=0 survived=0 equivalent=0 broken=0 total=0
failures=()
for ((k = 0; k + 6 < ${#fields[@]}; k += 7)); do
  index=${fields[k]} rule=${fields[k+1]} file=${fields[k+2]} from=${fields[k+3]}
  to=${fields[k+4]} tests=${fields[k+5]} equiv=${fields[k+6]}
  total=$((total + 1))
  label="#$index $file: $rule"
  if [[ -n "$equiv" ]]; then
    equivalent=$((equivalent + 1))
    echo "equivalent  $label ($equiv)"
    continue
  fi
  if [[ ! -f "$file" ]]; then
    broken=$((broken + 1)); failures+=("$label: no such file")
    echo "NOT APPLIED $label: no such file"
    continue
  fi
  cp "$file" "$file.orig"
  backup=$file
  if ! why=$(apply "$file" "$from" "$to" 2>&1); then
    restore
    broken=$((broken + 1)); failures+=("$label: the line $why")
    echo "NOT APPLIED $label: the line $why"
    continue
  fi
  if [[ "$list_only" == 1 ]]; then
    restore
    echo "applies     $label"
    continue
  fi
  start=$SECONDS
  targets=("${TARGETS[@]}")
  if [[ "$quick" == 1 && -n "$tests" ]]; then
    # Only the test programs of the folders the pattern names (and the
    # programs they start).
    targets=(dtucfg dtusim)
    for dir in unit e2e sim ui records; do
      [[ "$tests" == *"$dir/"* ]] && targets+=("dtu_${dir}_tests")
    done
    [[ "$tests" == *ui/* ]] && targets+=(dtuconfig)
  fi
  if ! cmake --build "$BUILD_DIR" -j2 --target "${targets[@]}" >/dev/null 2>&1; then
    # A fault the compiler refuses is no test of the suite: the list needs mending.
    restore
    broken=$((broken + 1)); failures+=("$label: does not compile")
    echo "NOT BUILT   $label"
    continue
  fi
  verdict=survived
  if [[ -n "$tests" ]] && ! run_tests "$tests"; then
    verdict=killed
  elif [[ "$quick" == 0 ]] && ! run_tests ""; then
    verdict=killed
  fi
  restore
  if [[ "$verdict" == killed ]]; then
    killed=$((killed + 1))
    printf 'killed      %s (%ds)\n' "$label" $((SECONDS - start))
  else
    survived=$((survived + 1)); failures+=("$label: survived")
    printf 'SURVIVED    %s (%ds)\n' "$label" $((SECONDS - start))
  fi
done

if [[ "$list_only" == 0 && $((killed + survived)) -gt 0 ]]; then
  cmake --build "$BUILD_DIR" -j2 --target "${TARGETS[@]}" >/dev/null 2>&1 || echo "mutate.sh: the restored build failed" >&2
fi
echo "$total faults: $killed killed, $survived survived, $equivalent equivalent, $broken not applied or not built"
for f in "${failures[@]}"; do echo "  $f"; done
[[ $survived -eq 0 && $broken -eq 0 ]]
