#!/usr/bin/env bash
# Code health: every C++ file formatted by .clang-format, and cppcheck with
# the chosen checks reporting nothing. Fails on any finding.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ ${#files[@]} -eq 0 ]; then
  mapfile -t files < <(find common calculator drawing solid openwater report tests bench -name '*.cpp' -o -name '*.h')
fi
echo "clang-format: ${#files[@]} files"
clang-format --dry-run --Werror "${files[@]}"
echo "cppcheck: common, calculator, drawing, solid, openwater, report"
cppcheck --quiet --error-exitcode=1 --std=c++20 --language=c++ \
  --enable=warning,performance,portability --inline-suppr '-DHandle(T)=opencascade::handle<T>' \
  -I . -I calculator -I drawing -I solid -I report common calculator drawing solid openwater report

# No 128-bit integers and no thread-local state.
echo "grep: __int128, thread_local"
if grep -rn "__int128\|thread_local" calculator drawing; then
  echo "check-code: __int128 or thread_local found (above)" >&2
  exit 1
fi

# The calculator's folders from the bottom up: a file never includes one from
# a folder above its own. common/ (shared with the drawing generator) is the
# lowest.
echo "include order: common filelayer numeric model series geometry surfaces reports run"
layers=(common filelayer numeric model series geometry surfaces reports run)
rank_of() {
  local i
  for i in "${!layers[@]}"; do
    if [ "${layers[$i]}" = "$1" ]; then
      echo "$i"
      return
    fi
  done
  echo ""
}
bad=0
while IFS= read -r file; do
  folder="$(basename "$(dirname "$file")")"
  own="$(rank_of "$folder")"
  [ -n "$own" ] || continue
  while IFS= read -r included; do
    target="$(rank_of "${included%%/*}")"
    if [ -n "$target" ] && [ "$target" -gt "$own" ]; then
      echo "$file includes $included from a higher folder" >&2
      bad=1
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find calculator common -name '*.cpp' -o -name '*.h' 2>/dev/null)
# common/ is shared by the programs and includes nothing of theirs; the drawing
# generator, korvanti-solid, korvanti-openwater and korvanti-report include
# nothing of the calculator's.
echo "include order: common includes nothing of the programs, drawing, solid, openwater and report nothing of the calculator"
calculator_folders=" calculator filelayer numeric model series geometry surfaces reports run "
while IFS= read -r file; do
  while IFS= read -r included; do
    first="${included%%/*}"
    case "$file" in
      common/*)
        if [ "$included" = "$first" ] && [ -e "common/$included" ]; then continue; fi
        if [ "$first" != common ]; then
          echo "$file includes $included from outside common/" >&2
          bad=1
        fi
        ;;
      *)
        if [[ "$calculator_folders" == *" $first "* ]] && [ "$included" != "$first" ]; then
          echo "$file includes $included from the calculator" >&2
          bad=1
        fi
        ;;
    esac
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find common drawing solid openwater report -name '*.cpp' -o -name '*.h' 2>/dev/null)
if [ "$bad" -ne 0 ]; then
  echo "check-code: include order broken (above)" >&2
  exit 1
fi
echo "check-code: all clean"
