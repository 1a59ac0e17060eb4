#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# As root it runs apt-get; otherwise it names the packages to install.
set -euo pipefail

packages=(cmake make g++ libgtest-dev gfortran libfltk1.3-dev xvfb xauth xdotool clang libclang-rt-14-dev libbenchmark-dev clang-format cppcheck libcairo2-dev libpng-dev libdxflib-dev python3-ezdxf librecad poppler-utils x11-apps imagemagick help2man libocct-modeling-algorithms-dev libocct-data-exchange-dev gmsh python3-vtk9 python3-matplotlib python3-numpy admesh)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
else
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
