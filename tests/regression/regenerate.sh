#!/usr/bin/env bash
# Rewrites the reference outputs of the regression matrix
# (tests/regression/reference/<case>/) from the current build.
#
# It writes into the source tree. A change of the references is a reviewed
# change: look at `git diff -- tests/regression/reference` and explain every
# changed number before committing it; never commit a refresh unseen.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${KORVANTI_BUILD_DIR:-$root/build}"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target regression_tests >/dev/null

KORVANTI_REGRESSION_REGENERATE=1 "$build/tests/regression/regression_tests" \
  --gtest_filter='Cases/RegressionMatrix.*' --gtest_brief=1
"$build/tests/regression/regression_tests" --gtest_brief=1

echo
echo "References rewritten. Review before committing:"
git -C "$root" status --short -- tests/regression/reference
git -C "$root" diff --stat -- tests/regression/reference
du -sh "$root/tests/regression/reference"
