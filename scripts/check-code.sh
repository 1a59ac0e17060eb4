#!/usr/bin/env bash
# Code health: every C++ file formatted by .clang-format, and cppcheck with
# the chosen checks reporting nothing. Fails on any finding.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ ${#files[@]} -eq 0 ]; then
  mapfile -t files < <(find calculator drawing tests bench -name '*.cpp' -o -name '*.h')
fi
echo "clang-format: ${#files[@]} files"
clang-format --dry-run --Werror "${files[@]}"
echo "cppcheck: calculator, drawing, solid"
cppcheck --quiet --error-exitcode=1 --std=c++20 --language=c++ \
  --enable=warning,performance,portability --inline-suppr '-DHandle(T)=opencascade::handle<T>' \
  -I calculator -I drawing -I solid calculator drawing solid
