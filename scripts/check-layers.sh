#!/usr/bin/env bash
# Checks the one rule of the source tree: a file includes only files of its
# own layer and of the layers below it (ARCHITECTURE.md draws them).
#   core                                        0  nothing of the project outside core/
#   channel protocol script profile params      1  may include each other
#   session                                     2
#   ops fleet store                             3  fleet/ and store/ use core/ only
#   actions                                     4  ops/, fleet/, store/ and below; no front end
#   ui cli                                      5  never each other
#   sim (dtusim)                                   core and layer 1 only
# Project headers are included by their path under src/ ("session/DtuSession.h");
# a bare name means the generated version header or a file of the same folder.
#   scripts/check-layers.sh [SRC_DIR]    (default: src/ of this tree)
# Prints each include that breaks the rule and exits 1 when there is one.
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"
cd "$src"

declare -A rank=([core]=0 [channel]=1 [protocol]=1 [script]=1 [profile]=1 [params]=1
                 [session]=2 [ops]=3 [fleet]=3 [store]=3 [actions]=4 [ui]=5 [cli]=5 [sim]=9)

allowed() { # allowed FROM_FOLDER TO_FOLDER
  local from=$1 to=$2
  [[ $from == "$to" ]] && return 0
  case $from in
    sim) ((rank[$to] <= 1)) ;;
    fleet | store) [[ $to == core ]] ;;
    actions) [[ $to != ui && $to != cli && $to != sim ]] ;;
    ui | cli) [[ $to != ui && $to != cli && $to != sim ]] ;;
    *) [[ $to != sim && $to != fleet && $to != store && $to != actions ]] && ((rank[$to] <= rank[$from])) ;;
  esac
}

layers=$(IFS='|'; echo "${!rank[*]}")
problems=0
mapfile -t files < <(find . -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.h.in' \) | sed 's#^\./##' | LC_ALL=C sort)
for file in "${files[@]}"; do
  from=${file%%/*}
  if [[ -z ${rank[$from]+set} ]]; then
    echo "check-layers: $file: folder $from/ is no layer (see ARCHITECTURE.md)"
    problems=$((problems + 1))
  fi
done
# One grep over every file (a process per file made this the slowest test):
# FILE:LINE:TEXT of each include, in file order.
quoted='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)"'
# <session/DtuSession.h> is a project header too.
angled="^[[:space:]]*#[[:space:]]*include[[:space:]]*<(($layers)/[^>]*)>"
while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  line=${rest%%:*}
  text=${rest#*:}
  from=${file%%/*}
  [[ -z ${rank[$from]+set} ]] && continue
  if [[ $text =~ $quoted || $text =~ $angled ]]; then
    target=${BASH_REMATCH[1]}
  else
    continue
  fi
  case $target in
    */*)
      to=${target%%/*}
      if [[ $target == *..* || -z ${rank[$to]+set} ]]; then
        echo "check-layers: src/$file:$line: includes \"$target\", which is no path under src/"
        problems=$((problems + 1))
      elif ! allowed "$from" "$to"; then
        echo "check-layers: src/$file:$line: $from/ includes \"$target\" of the layer $to/, which is not below it"
        problems=$((problems + 1))
      fi
      ;;
    moc_*.cpp)
      # What moc wrote for the file's own header, compiled with the file.
      if [[ ${file##*/} != "${target#moc_}" ]]; then
        echo "check-layers: src/$file:$line: includes \"$target\", moc's code for another file's header"
        problems=$((problems + 1))
      fi
      ;;
    *)
      if [[ $target != DtuVersion.h && ! -f $from/$target ]]; then
        echo "check-layers: src/$file:$line: includes \"$target\" without its folder"
        problems=$((problems + 1))
      fi
      ;;
  esac
done < <(((${#files[@]})) && grep -nHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "${files[@]}")

if ((problems)); then
  echo "check-layers: $problems include(s) break the layer rule"
  exit 1
fi
echo "check-layers: every include points to its own layer or below"
