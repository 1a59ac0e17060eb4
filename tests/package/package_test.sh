#!/usr/bin/env bash
# The Debian package, as a user gets it: scripts/package.sh packages the test
# build; the package's control fields and contents are read with dpkg-deb,
# lintian must report no error and only the warnings docs/packaging.md lists
# with their reasons; then the package is unpacked with dpkg -x into a
# scratch root and the B4-55 example runs end to end with the unpacked
# programs in a directory that holds only the task file.
# Usage: package_test.sh SOURCE_DIR BUILD_DIR VERSION
# Exit status 77 (skipped) where dpkg-deb, dpkg-shlibdeps or lintian is absent.
set -euo pipefail
source_dir="$1"
build_dir="$2"
version="$3"
for tool in dpkg-deb dpkg-shlibdeps lintian file help2man; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/setup.sh --tests installs it)"
    exit 77
  fi
done

failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
scratch="$(mktemp -d "${TMPDIR:-/tmp}/korvanti-package-test-XXXXXX")"
trap 'rm -rf "$scratch"' EXIT

# --- the package and its name
deb="$("$source_dir/scripts/package.sh" --build-dir "$build_dir" --output "$scratch" | tail -n 1)"
[ "$(basename "$deb")" = "korvanti_${version}_amd64.deb" ] || fail "package named $(basename "$deb")"
[ -f "$deb" ] || { echo "FAILED: no package at $deb"; exit 1; }

# --- control fields
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = korvanti ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), project $version"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = science ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
# First lines through `sed -n 1p`, which reads its input to the end: `head`
# stops reading at once, and under pipefail the writer's SIGPIPE (dpkg-deb
# still writing the long description) would fail a sound check at random.
first_line() { sed -n 1p; }
field Description | first_line | grep -q "propeller" || fail "Description: $(field Description | first_line)"
# Depends as dpkg-shlibdeps gives it: the libraries the programs and the
# window module link, each with its lowest version.
depends="$(field Depends)"
echo "Depends: $depends"
depends_names="$(echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//')"
for library in libc6 libstdc++6 libgcc-s1 libcairo2 libpng16-16 libdxflib3 libfltk1.3 libx11-6 \
  libocct-foundation-7.6 libocct-modeling-algorithms-7.6 libocct-data-exchange-7.6; do
  echo "$depends_names" | grep -qxF "$library" || fail "Depends lacks $library"
done
echo "$depends_names" | grep -qxF libjs-three || fail "Depends lacks libjs-three (three.js of the page)"
echo "$depends" | grep -q -- "-dev" && fail "Depends names a development package: $depends"

# --- contents: every file under /usr, owned by root, the expected ones there
listing="$scratch/contents"
dpkg-deb -c "$deb" >"$listing"
awk '{print $6}' "$listing" | grep -v '^\./$' | grep -v '^\./usr' && fail "files outside /usr"
awk '{print $2}' "$listing" | grep -v '^root/root$' && fail "files not owned by root"
has() { awk '{print $6}' "$listing" | grep -qx "./$1" || fail "package lacks /$1"; }
for file in usr/bin/Korvanti usr/bin/TELVARO_3B_CIZIMLER usr/lib/x86_64-linux-gnu/korvanti/TELVARO_3B_CIZIMLER_window.so \
  usr/bin/korvanti-solid usr/bin/korvanti-openwater usr/bin/korvanti-report usr/share/korvanti/WAGBPROP.DAT usr/share/doc/korvanti/copyright \
  usr/share/doc/korvanti/changelog.gz usr/share/doc/korvanti/README.md \
  usr/share/doc/korvanti/examples/B4-55.TSK; do
  has "$file"
done
if [ -d "$source_dir/data/open-water" ]; then
  for data in "$source_dir"/data/open-water/*; do
    has "usr/share/korvanti/open-water/$(basename "$data")"
  done
fi

root="$scratch/root"
dpkg -x "$deb" "$root"
# Every program has its compressed manual page and shows the project version.
programs=0
for program in "$root"/usr/bin/*; do
  case "$program" in *.so) continue ;; esac
  programs=$((programs + 1))
  name="$(basename "$program")"
  [ -f "$root/usr/share/man/man1/$name.1.gz" ] || fail "no manual page $name.1.gz"
  "$program" --version | first_line | grep -q "$version" || fail "$name --version: $("$program" --version | first_line)"
done
[ "$programs" -ge 3 ] || fail "only $programs programs in /usr/bin"
cmp -s "$root/usr/share/korvanti/WAGBPROP.DAT" "$source_dir/data/WAGBPROP.DAT" ||
  fail "installed WAGBPROP.DAT differs from data/WAGBPROP.DAT"
copyright="$root/usr/share/doc/korvanti/copyright"
head -n 1 "$copyright" | grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
  fail "copyright is not in the machine-readable format"
grep -qx "License: GPL-3.0-or-later" "$copyright" || fail "copyright has no GPL-3.0-or-later"
for licensed in dxflib OpenCASCADE FLTK cairo; do
  grep -q "$licensed" "$copyright" || fail "copyright does not name $licensed"
done
zcat "$root/usr/share/doc/korvanti/changelog.gz" | first_line | grep -q "^korvanti ($version) " ||
  fail "changelog does not begin with version $version"
# The window module's libraries are all found.
ldd "$root/usr/lib/x86_64-linux-gnu/korvanti/TELVARO_3B_CIZIMLER_window.so" | grep "not found" && fail "window module lacks a library"

# --- lintian: no error; every warning named in docs/packaging.md
lintian --tag-display-limit 0 "$deb" >"$scratch/lintian" 2>&1 || true
cat "$scratch/lintian"
grep -q '^E: ' "$scratch/lintian" && fail "lintian reports errors"
for tag in $(sed -n 's/^W: [^ ]*: \([^ ]*\).*/\1/p' "$scratch/lintian" | sort -u); do
  grep -q -- "^- \`$tag\`: " "$source_dir/docs/packaging.md" ||
    fail "lintian warning $tag not listed with its reason in docs/packaging.md"
done

# --- the B4-55 example with the unpacked programs
reference="$source_dir/tests/regression/reference/B4-55"
run="$scratch/run"
mkdir -p "$run"
cp "$source_dir/examples/B4-55.TSK" "$run/Korvanti.TSK"
status=0
(cd "$run" && env -u DISPLAY "$root/usr/bin/Korvanti" </dev/null >"$scratch/console" 2>&1) || status=$?
[ "$status" -eq 0 ] || fail "Korvanti ended with status $status: $(tail -n 3 "$scratch/console")"
found=" WAGBPROP.DAT CALISMA DIZININDE YOK; OKUNAN DOSYA: $root/usr/share/korvanti/WAGBPROP.DAT"
grep -qxF "$found" "$scratch/console" || fail "Korvanti did not read the installed WAGBPROP.DAT"
# Besides that line, the console and every file are those of the regression matrix.
grep -vxF "$found" "$scratch/console" | cmp -s - "$reference/Korvanti.console" || fail "console differs"
for file in Korvanti.SON Korvanti2D_Tecplot.PLT Korvanti3D_Rhino3_4_Macro.TXT Korvanti3D_Tecplot.PLT \
  PEROF.SON PEROF2.SON PERVDAT SEHAM.DAT; do
  cmp -s "$run/$file" "$reference/$file" || fail "$file differs from the reference"
done
[ ! -e "$run/WAGBPROP.DAT" ] || fail "the run copied WAGBPROP.DAT into its directory"

mkdir "$run/3D-view"
cp "$run/PERVDAT" "$run/3D-view/"
env -u DISPLAY "$root/usr/bin/TELVARO_3B_CIZIMLER" -C "$run" --form-plans --scale=0.1 >/dev/null ||
  fail "the drawing generator failed on the form plans"
env -u DISPLAY "$root/usr/bin/TELVARO_3B_CIZIMLER" -C "$run/3D-view" --panel-view=both >/dev/null ||
  fail "the drawing generator failed on the 3D view"
cmp -s "$run/TELVARO_3B_CIZIMLER.SCR" "$reference/TELVARO_3B_CIZIMLER.form-plans.SCR" ||
  fail "form plans script differs"
cmp -s "$run/3D-view/TELVARO_3B_CIZIMLER.SCR" "$reference/TELVARO_3B_CIZIMLER.panel-view.SCR" ||
  fail "3D view script differs"
# With a display named the program loads its window module from
# /usr/lib/x86_64-linux-gnu/korvanti (the display cannot be reached: it then asks on the console).
printf '1\n0.1\n' | DISPLAY=:12345 "$root/usr/bin/TELVARO_3B_CIZIMLER" -C "$run" >"$scratch/window" 2>&1 ||
  fail "the drawing generator failed with a display named: $(cat "$scratch/window")"
grep -q "UYARI: PENCERE YUKLENEMEDI" "$scratch/window" && fail "window module not loaded: $(cat "$scratch/window")"
for kind in dxf pdf png; do
  [ -s "$run/TELVARO_3B_CIZIMLER.$kind" ] || fail "no TELVARO_3B_CIZIMLER.$kind"
done
file "$run/TELVARO_3B_CIZIMLER.pdf" | grep -q "PDF document" || fail "the PDF is not a PDF"

"$root/usr/bin/korvanti-solid" -C "$run" >"$scratch/solid" 2>&1 || fail "korvanti-solid failed: $(cat "$scratch/solid")"
head -c 13 "$run/Korvanti.step" | grep -q "ISO-10303-21;" || fail "Korvanti.step is not a STEP file"
[ -s "$run/Korvanti.stl" ] || fail "no Korvanti.stl"
head -n 1 "$run/Korvanti_panels.vtk" | grep -q "# vtk DataFile" || fail "Korvanti_panels.vtk is not a VTK file"

# The open-water program finds its data under the unpacked /usr/share, and the
# page embeds the installed three.js with the run's mesh.
"$root/usr/bin/korvanti-openwater" -C "$run" --rpm 240 --speed 6 >"$scratch/openwater" 2>&1 ||
  fail "korvanti-openwater failed: $(cat "$scratch/openwater")"
head -n 1 "$run/Korvanti_openwater.csv" | grep -q '^J \[-\],KT' || fail "Korvanti_openwater.csv has no header"
(cd "$run" && "$root/usr/bin/Korvanti" --json --no-pause </dev/null >/dev/null 2>&1) || fail "Korvanti --json failed"
"$root/usr/bin/korvanti-report" -C "$run" >"$scratch/report" 2>&1 || fail "korvanti-report failed: $(cat "$scratch/report")"
grep -q "OrbitControls" "$run/Korvanti.html" || fail "the page lacks the embedded three.js"

if [ "$failures" -ne 0 ]; then
  echo "$failures failures"
  exit 1
fi
echo "package $(basename "$deb"): contents, control fields, lintian and the B4-55 run checked"
