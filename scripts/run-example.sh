#!/usr/bin/env bash
# Builds Korvanti and runs it on a shipped example task file in a fresh
# scratch working directory, then the drawing generator on its PERVDAT: the
# form plans at the automatic scale there, the 3D view of blade and hub on
# every blade in the subdirectory 3D-view; then korvanti-solid, which turns
# the run into Korvanti.step, Korvanti.stl and Korvanti_panels.vtk. Usage:
# scripts/run-example.sh [examples/NAME.TSK]
# It installs only what building and running the programs needs
# (scripts/setup.sh without --tests) and builds the programs alone, without
# the tests and the benchmark, in build-run/ (or $KORVANTI_RUN_BUILD_DIR), so
# that the test command's build/ keeps its own configuration.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
example="${1:-$root/examples/B4-55.TSK}"
"$root/scripts/setup.sh"
build="${KORVANTI_RUN_BUILD_DIR:-$root/build-run}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANTI_TESTS=OFF \
  -DKORVANTI_BENCHMARK=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
work="$(mktemp -d "${TMPDIR:-/tmp}/korvanti-run-XXXXXX")"
cp "$example" "$work/Korvanti.TSK"
cp "$root/data/WAGBPROP.DAT" "$work/WAGBPROP.DAT"
cd "$work"
status=0
# The closing pause (and the AU confirmation) take end of input as Enter.
"$build/calculator/Korvanti" </dev/null || status=$?
if [ $status -eq 0 ] && [ -f PERVDAT ]; then
  # The drawing generator on the console (no window): option 1, scale 0
  # (the largest that fits the sheet); then option 2, blade and hub, every blade.
  echo
  printf '1\n0\n' | env -u DISPLAY "$build/drawing/TELVARO_3B_CIZIMLER" || status=$?
  mkdir -p 3D-view
  cp PERVDAT 3D-view/
  echo
  (cd 3D-view && printf '2\n3\nE\n' | env -u DISPLAY "$build/drawing/TELVARO_3B_CIZIMLER") || status=$?
  # Then the propeller as a solid: Korvanti.step, Korvanti.stl, Korvanti_panels.vtk.
  echo
  "$build/solid/korvanti-solid" || status=$?
fi
echo
echo "Working directory with all outputs: $work"
ls -l "$work"
echo
echo "The drawings (open the PDF with any PDF viewer, the PNG with any image viewer):"
ls -l "$work"/TELVARO_3B_CIZIMLER.pdf "$work"/TELVARO_3B_CIZIMLER.png \
  "$work"/3D-view/TELVARO_3B_CIZIMLER.pdf "$work"/3D-view/TELVARO_3B_CIZIMLER.png 2>/dev/null || true
exit $status
