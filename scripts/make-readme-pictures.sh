#!/usr/bin/env bash
# Makes the pictures of the README, docs/B4-55-form-plans.png and
# docs/B4-55-3d-view.png: the drawing generator's own PNG output for the
# B4-55 example (form plans at the automatic scale; 3D view of blade and hub
# on every blade), copied as written; docs/B4-55-openwater.png, the
# open-water diagram korvanti-openwater draws for the example at 240 rpm and
# 6 m/s; and docs/korvanti-page.png, the top of the run's page Korvanti.html
# (korvanti-report, after korvanti-solid) as headless Chromium shows it, the
# 3D view drawn by its software WebGL.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh" >/dev/null
build="${KORVANTI_BUILD_DIR:-$root/build}"
work="$(mktemp -d "${TMPDIR:-/tmp}/korvanti-pictures-XXXXXX")"
trap 'rm -rf "$work"' EXIT
cp "$root/examples/B4-55.TSK" "$work/Korvanti.TSK"
cp "$root/data/WAGBPROP.DAT" "$work/"
cd "$work"
"$build/calculator/Korvanti" --json </dev/null >/dev/null
printf '1\n0\n' | env -u DISPLAY "$build/drawing/TELVARO_3B_CIZIMLER" >/dev/null
cp TELVARO_3B_CIZIMLER.png "$root/docs/B4-55-form-plans.png"
printf '2\n3\nE\n' | env -u DISPLAY "$build/drawing/TELVARO_3B_CIZIMLER" >/dev/null
cp TELVARO_3B_CIZIMLER.png "$root/docs/B4-55-3d-view.png"
"$build/openwater/korvanti-openwater" --rpm 240 --speed 6 >/dev/null
cp Korvanti_openwater.png "$root/docs/B4-55-openwater.png"
ls -l "$root/docs/B4-55-form-plans.png" "$root/docs/B4-55-3d-view.png" \
  "$root/docs/B4-55-openwater.png"

# The page: the form plans again (the SVG of the last drawing is the 3D view),
# the solid, then the page, photographed from file:// with no network.
printf '1\n0\n' | env -u DISPLAY "$build/drawing/TELVARO_3B_CIZIMLER" >/dev/null
"$build/solid/korvanti-solid" >/dev/null
"$build/report/korvanti-report" >/dev/null
mkdir -p "$work/chromium-profile"
chromium --headless=new --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --enable-unsafe-swiftshader --use-angle=swiftshader --user-data-dir="$work/chromium-profile" \
  --hide-scrollbars --window-size=1200,1450 --screenshot="$work/page.png" \
  "file://$work/Korvanti.html" >/dev/null 2>&1
cp "$work/page.png" "$root/docs/korvanti-page.png"
ls -l "$root/docs/korvanti-page.png"
