#!/usr/bin/env bash
# Installs the Debian packages Korvanti needs, when missing. As root it runs
# apt-get; otherwise it names the packages to install.
#   scripts/setup.sh            what building and running the programs needs
#   scripts/setup.sh --package  that, and what building the .deb adds
#   scripts/setup.sh --tests    all of it, and what only the tests need
# The three lists are here and nowhere else (docs/developers.md says what
# each package is for).
set -euo pipefail

# Building and running: compiler and build tool, the drawing generator's
# window (FLTK), PDF/PNG (cairo, libpng) and DXF (dxflib), korvanti-solid's
# OpenCASCADE (with its application framework for the named solids of the
# STEP file), nlohmann-json for Korvanti.json, three.js (libjs-three), which
# korvanti-report embeds in the page, and help2man for the manual pages made
# at build time. fluid, which libfltk1.3-dev only recommends, is named
# because Debian's FLTK CMake files refer to it and stop the configuration
# without it.
run_packages=(cmake make g++ libfltk1.3-dev fluid libcairo2-dev libpng-dev libdxflib-dev help2man
  libocct-modeling-algorithms-dev libocct-data-exchange-dev libocct-ocaf-dev nlohmann-json3-dev libjs-three)
# Building the Debian package (scripts/package.sh): dpkg-shlibdeps computes
# its Depends, and CPack finds the programs' libraries with file.
package_packages=(dpkg-dev file)
# Only the tests, the code-health and fuzz stages and the benchmark: the
# readers the tests open the outputs with, the oracles and the tools.
test_packages=(libgtest-dev gfortran xvfb xauth xdotool clang libclang-rt-14-dev libbenchmark-dev
  clang-format cppcheck python3 python3-ezdxf librecad poppler-utils x11-apps imagemagick gmsh
  python3-vtk9 python3-matplotlib python3-numpy lintian python3-jsonschema chromium chromium-driver
  python3-selenium admesh)

# The run and package lists without the packages they only recommend
# (documentation, examples); the test list as apt-get installs it.
lean=("${run_packages[@]}")
full=()
case "${1:-}" in
  "") ;;
  --package) lean+=("${package_packages[@]}") ;;
  --tests) lean+=("${package_packages[@]}"); full=("${test_packages[@]}") ;;
  *)
    echo "usage: scripts/setup.sh [--package | --tests]" >&2
    exit 2
    ;;
esac

not_installed() {
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      echo "$p"
    fi
  done
}
mapfile -t missing_lean < <(not_installed "${lean[@]}")
mapfile -t missing_full < <(not_installed "${full[@]}")
missing=("${missing_lean[@]}" "${missing_full[@]}")
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  if [ ${#missing_lean[@]} -gt 0 ]; then
    apt-get install -y -qq --no-install-recommends "${missing_lean[@]}" >/dev/null
  fi
  if [ ${#missing_full[@]} -gt 0 ]; then
    apt-get install -y -qq "${missing_full[@]}" >/dev/null
  fi
else
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
