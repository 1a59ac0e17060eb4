#!/usr/bin/env bash
# Makes the pictures of the README, docs/B4-55-form-plans.png and
# docs/B4-55-3d-view.png: the drawing generator's own PNG output for the
# B4-55 example (form plans at the automatic scale; 3D view of blade and hub
# on every blade), copied as written; and docs/B4-55-openwater.png, the
# open-water diagram korvanti-openwater draws for the example at 240 rpm and
# 6 m/s.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh" >/dev/null
build="${KORVANTI_BUILD_DIR:-$root/build}"
work="$(mktemp -d "${TMPDIR:-/tmp}/korvanti-pictures-XXXXXX")"
trap 'rm -rf "$work"' EXIT
cp "$root/examples/B4-55.TSK" "$work/Korvanti.TSK"
cp "$root/data/WAGBPROP.DAT" "$work/"
cd "$work"
"$build/calculator/Korvanti" </dev/null >/dev/null
printf '1\n0\n' | env -u DISPLAY "$build/drawing/TELVARO_3B_CIZIMLER" >/dev/null
cp TELVARO_3B_CIZIMLER.png "$root/docs/B4-55-form-plans.png"
printf '2\n3\nE\n' | env -u DISPLAY "$build/drawing/TELVARO_3B_CIZIMLER" >/dev/null
cp TELVARO_3B_CIZIMLER.png "$root/docs/B4-55-3d-view.png"
"$build/openwater/korvanti-openwater" --rpm 240 --speed 6 >/dev/null
cp Korvanti_openwater.png "$root/docs/B4-55-openwater.png"
ls -l "$root/docs/B4-55-form-plans.png" "$root/docs/B4-55-3d-view.png" \
  "$root/docs/B4-55-openwater.png"
