#!/usr/bin/env bash
# The page of B4-55: the CPU time korvanti-report takes to write it (best of
# RUNS runs), its size, and the time headless Chromium takes to open it from
# file:// until the 3D view has drawn (bench/open-page.py, best of 5).
# Usage: bench/report-page.sh [RUNS]   (after a build in build/, or
# KORVANTI_BUILD_DIR; korvanti-solid must be built)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KORVANTI_BUILD_DIR:-$root/build}"
runs="${1:-20}"
work="$(mktemp -d "${TMPDIR:-/tmp}/korvanti-page-bench-XXXXXX")"
trap 'rm -rf "$work"' EXIT
cp "$root/examples/B4-55.TSK" "$work/Korvanti.TSK"
"$build/calculator/Korvanti" -C "$work" --json --no-pause >/dev/null
env -u DISPLAY "$build/drawing/TELVARO_3B_CIZIMLER" -C "$work" --form-plans >/dev/null
"$build/solid/korvanti-solid" -C "$work" >/dev/null
best=""
for _ in $(seq "$runs"); do
  # user + system CPU seconds of one run, from GNU time's format
  cpu="$( { /usr/bin/time -f '%U %S' "$build/report/korvanti-report" -C "$work" >/dev/null; } 2>&1 |
          awk '{ printf "%.3f", $1 + $2 }')"
  if [ -z "$best" ] || awk -v a="$cpu" -v b="$best" 'BEGIN { exit !(a < b) }'; then best="$cpu"; fi
done
size="$(stat -c %s "$work/Korvanti.html")"
triangles="$(grep -o 'data-triangles="[0-9]*"' "$work/Korvanti.html" | head -1)"
echo "korvanti-report, B4-55: best CPU of $runs runs ${best} s; page ${size} bytes ($triangles)"
/usr/bin/python3 "$root/bench/open-page.py" "$work/Korvanti.html"
