#!/usr/bin/env bash
# Checks that the English translation covers every text of the sources: runs
# lupdate over src/ (all but the simulated device, as the update_translations
# target does) into a copy of translations/dtutools_en.ts and fails on any
# message left unfinished, naming it. A text added to the sources but not yet
# in the .ts arrives unfinished in the copy, so it fails too.
#   scripts/check-translations.sh [LUPDATE]     (default: lupdate of Qt 6)
# The fix: cmake --build build --target update_translations, then write the
# English of each new <message> in the .ts (translate every "unfinished" one
# and remove that mark).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
lupdate="${1:-}"
if [[ -z "$lupdate" ]]; then
  lupdate="$(command -v lupdate6 || true)"
  [[ -n "$lupdate" ]] || lupdate=/usr/lib/qt6/bin/lupdate
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$root/translations/dtutools_en.ts" "$work/copy.ts"
cd "$root/src"
mapfile -t sources < <(find . -path ./sim -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sort)
"$lupdate" -silent -I . -locations none -no-obsolete -source-language zh_CN -target-language en \
  "${sources[@]}" -ts "$work/copy.ts"
# Each message is a <source> line followed by its <translation> line.
missing="$(grep -B1 -E '<translation type="unfinished"|<translation>\s*</translation>|<translation/>' "$work/copy.ts" \
           | grep '<source>' | sed -E 's/^\s*<source>(.*)<\/source>/  \1/' || true)"
if [[ -n "$missing" ]]; then
  echo "texts without an English translation in translations/dtutools_en.ts:"
  echo "$missing"
  exit 1
fi
echo "every text has its English translation"
