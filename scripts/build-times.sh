#!/usr/bin/env bash
# Where the time of a build went, from Ninja's log: the time of its steps
# summed per target and per kind (compile, moc, precompiled header, link),
# and the slowest steps.
#   scripts/build-times.sh [BUILD_DIR [N]]    (build/, the 15 largest)
# Step times are wall-clock: with -j2 two steps share the cores, and other
# work on the machine slows them, so compare builds made alike. For CPU time,
# time the whole build: /usr/bin/time -f '%U user %S sys' cmake --build DIR
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${1:-build}"
TOP="${2:-15}"
LOG="$BUILD_DIR/.ninja_log"
[[ -f $LOG ]] || { echo "build-times: no $LOG (a Ninja build has not run there)" >&2; exit 1; }

# One line per step: milliseconds, kind, target, output. An edge with several
# outputs is logged once per output with the same times and hash: kept once.
# When an output was built more than once, its last build counts.
steps=$(awk -F'\t' '
  /^#/ { next }
  {
    key = $1 FS $2 FS $5
    if (key in edge) next
    edge[key] = 1
    ms[$4] = $2 - $1
  }
  END {
    for (out in ms) {
      kind = "link/other"
      if (out ~ /\.o$/) kind = "compile"
      if (out ~ /\.(gch|pch)$/) kind = "pch"
      if (out ~ /_autogen\/timestamp$/) kind = "moc"
      target = out
      if (match(out, /CMakeFiles\/[^\/]+\.dir\//)) target = substr(out, RSTART + 11, RLENGTH - 16)
      else if (match(out, /[^\/]+_autogen\/timestamp$/)) target = substr(out, RSTART, RLENGTH - 18) " (moc)"
      printf "%d\t%s\t%s\t%s\n", ms[out], kind, target, out
    }
  }' "$LOG")

total() { awk -F'\t' '{ s += $1 } END { printf "%.0f", s / 1000 }'; }
echo "$(wc -l <<<"$steps") steps, $(total <<<"$steps") s summed"
echo "by kind:"
awk -F'\t' '{ s[$2] += $1 } END { for (k in s) printf "%8.1f s  %s\n", s[k] / 1000, k }' <<<"$steps" | sort -rn
echo "by target:"
awk -F'\t' '{ s[$3] += $1 } END { for (k in s) printf "%8.1f s  %s\n", s[k] / 1000, k }' <<<"$steps" |
  sort -rn | head -n "$TOP"
echo "slowest steps:"
sort -rn <<<"$steps" | head -n "$TOP" | awk -F'\t' '{ printf "%8.1f s  %s\n", $1 / 1000, $4 }'
