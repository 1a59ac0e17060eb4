#!/usr/bin/env bash
# Builds Korvanti and runs it on a shipped example task file in a fresh
# scratch working directory, then the drawing generator on its PERVDAT: the
# form plans at the automatic scale there, the 3D view of blade and hub on
# every blade in the subdirectory 3D-view; then korvanti-solid, which turns
# the run into Korvanti.step, Korvanti.stl and Korvanti_panels.vtk; then
# korvanti-openwater, the open-water table and diagram of the example's
# propeller (Korvanti_openwater.csv, .pdf, .png; for the B-series example at
# 240 rpm and 6 m/s, with its operating point); last korvanti-report, which
# makes the page of the run, Korvanti.html. Usage:
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
# --json adds Korvanti.json (the run's numbers, read by the page) and
# changes none of the other files.
"$build/calculator/Korvanti" --json </dev/null || status=$?
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
  # Then its open-water characteristics (the series without an open-water
  # model say so and are no failure of the example run).
  echo
  case "$(sed -n 40p Korvanti.TSK | tr -d ' \r')" in
    1) "$build/openwater/korvanti-openwater" --rpm 240 --speed 6 || status=$? ;;
    2) "$build/openwater/korvanti-openwater" || status=$? ;;
    *) "$build/openwater/korvanti-openwater" || true ;;
  esac
fi
if [ -f Korvanti.json ]; then
  # The page of the run: the numbers, the 3D view, the form plans, the files.
  echo
  "$build/report/korvanti-report" || status=$?
fi
echo
echo "Working directory with all outputs: $work"
ls -l "$work"
echo
echo "The drawings (open the PDF with any PDF viewer, the PNG with any image viewer):"
ls -l "$work"/TELVARO_3B_CIZIMLER.pdf "$work"/TELVARO_3B_CIZIMLER.png \
  "$work"/3D-view/TELVARO_3B_CIZIMLER.pdf "$work"/3D-view/TELVARO_3B_CIZIMLER.png \
  "$work"/Korvanti_openwater.pdf "$work"/Korvanti_openwater.png 2>/dev/null || true
if [ -f "$work/Korvanti.html" ]; then
  echo
  echo "The page of the run (open it in any web browser): file://$work/Korvanti.html"
fi
exit $status
