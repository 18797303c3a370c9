#!/usr/bin/env bash
# Brings translations/quorinimage_en.ts (or the .ts file given) up to date with the sources:
# texts new in the sources come in unfinished, texts gone from them are marked vanished. Then
# fill in the English (Qt Linguist: linguist translations/quorinimage_en.ts) and drop what
# vanished. The texts are written in Russian in the sources, through tr() and
# QCoreApplication::translate(); the tests' `translations` check runs this on a copy.
set -euo pipefail
cd "$(dirname "$0")/.."
ts="${1:-translations/quorinimage_en.ts}"
lupdate="${LUPDATE:-/usr/lib/qt6/bin/lupdate}"
# Every library folder: the ones with sources, less the tests, benchmarks and fuzzers.
folders=()
for d in */; do
  d="${d%/}"
  case "$d" in tests | bench | fuzz | build*) continue ;; esac
  if compgen -G "$d/*.cpp" >/dev/null || compgen -G "$d/*.h" >/dev/null; then
    folders+=("$d")
  fi
done
# No line numbers, so that an edit elsewhere in a file leaves the translations alone; the
# root on the include path, so that a class's texts are in its namespace's context.
"$lupdate" -silent -locations none -I . -source-language ru_RU -target-language en \
  "${folders[@]}" -ts "$ts"
