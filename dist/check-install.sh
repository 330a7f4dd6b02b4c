#!/usr/bin/env bash
# Installs a build into a temporary prefix, as "cmake --install build
# --prefix ~/.local" does, and checks what arrived: the expected files and no
# others, installed programs that start and answer, and installed examples
# that work together.
#   dist/check-install.sh CMAKE BUILD_DIR VERSION EXPECTED_FILES
set -euo pipefail
cmake=$1 build=$2 version=$3 expected=$4

prefix=$(mktemp -d)
sim_pid=""
cleanup() {
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null
  rm -rf "$prefix"
}
trap cleanup EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix/usr" >/dev/null

diff -u <(LC_ALL=C sort "$expected") \
        <(cd "$prefix/usr" && find . ! -type d | sed 's#^\./##' | LC_ALL=C sort) ||
  fail "the installed files differ from $expected (- expected, + installed)"

bin=$prefix/usr/bin
for program in dtuconfig dtucfg dtusim; do
  # No display needed: dtuconfig answers before its window toolkit starts.
  line=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/$program" --version) ||
    fail "$program --version exited with $?"
  [[ $line == "$program $version" ]] || fail "$program --version printed \"$line\", not \"$program $version\""
done

# Chinese by default, English from the translation the program carries.
zh_help=$("$bin/dtucfg" --help) || fail "dtucfg --help exited with $?"
[[ $(head -n1 <<<"$zh_help") == "用法：dtucfg [选项] 命令 [参数]" ]] || fail "dtucfg --help: $zh_help"
help=$("$bin/dtucfg" --lang en --help) || fail "dtucfg --lang en --help exited with $?"
[[ $(head -n1 <<<"$help") == "Usage: dtucfg [options] COMMAND [ARGS]" ]] || fail "dtucfg --lang en --help: $help"
for word in --profile --port --tcp --version status read write save batch "Exit status"; do
  grep -q -e "$word" <<<"$help" || fail "dtucfg --help does not mention $word"
done
status=0
"$bin/dtucfg" >/dev/null 2>&1 || status=$?
[[ $status == 2 ]] || fail "dtucfg without a command exited with $status, not 2"

# The installed examples drive the installed simulator and command line tool,
# each on its own copy as a user would make.
work=$prefix/work
mkdir -p "$work/sim"
cp "$prefix/usr/share/dtutools/examples/"* "$work/"
cp "$prefix/usr/share/dtutools/examples/"* "$work/sim/"
"$bin/dtusim" --profile "$work/sim/example_profile.txt" >"$work/sim/where.txt" 2>"$work/sim/log.txt" &
sim_pid=$!
for _ in $(seq 50); do
  [[ -s $work/sim/where.txt ]] && break
  sleep 0.1
done
port=$(head -n1 "$work/sim/where.txt")
[[ $port == /dev/* ]] || fail "dtusim did not announce a port: $(cat "$work/sim/log.txt")"
out=$(cd "$work" && "$bin/dtucfg" --profile example_profile.txt --port "$port" read) ||
  fail "dtucfg read on the installed examples exited with $?: $out"
grep -q $'^0091\t' <<<"$out" || fail "dtucfg read printed no row 0091: $out"
echo "installed into a temporary prefix: files, --version, --help and the examples all good"
