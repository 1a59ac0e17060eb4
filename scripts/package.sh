#!/usr/bin/env bash
# Builds the Debian package korvanti_<version>_amd64.deb with CPack: the
# programs, the drawing generator's window module, the data files, the
# manual pages, the README, the copyright file and the changelog, under /usr.
# Usage:
#   scripts/package.sh [--build-dir DIR] [--output DIR]
# Without --build-dir it installs what building needs (scripts/setup.sh
# --package), configures and builds the programs alone (no tests, no
# benchmark) in build-package/, and packages that build. With --build-dir it
# packages an existing build tree (built first if it is not up to date), as
# the package test does with the test build. The .deb is written to --output
# (default: the repository's root folder), and its path printed last.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build=""
output="$root"
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build="$(cd "$2" && pwd)"; shift 2 ;;
    --output) output="$2"; shift 2 ;;
    *) echo "usage: scripts/package.sh [--build-dir DIR] [--output DIR]" >&2; exit 2 ;;
  esac
done

"$root/scripts/setup.sh" --package
if [ -z "$build" ]; then
  build="${KORVANTI_PACKAGE_BUILD_DIR:-$root/build-package}"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANTI_TESTS=OFF \
    -DKORVANTI_BENCHMARK=OFF >/dev/null
fi
if [ ! -f "$build/CPackConfig.cmake" ]; then
  echo "package.sh: $build is not a configured build tree (no CPackConfig.cmake)" >&2
  exit 2
fi
cmake --build "$build" -j"$(nproc)" >/dev/null

# CPack stages the install in a scratch folder and writes the package there.
mkdir -p "$output"
staging="$(mktemp -d "${TMPDIR:-/tmp}/korvanti-package-XXXXXX")"
trap 'rm -rf "$staging"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$staging" >"$staging/cpack.log" 2>&1 || {
  cat "$staging/cpack.log" >&2
  echo "package.sh: cpack failed" >&2
  exit 1
}
shopt -s nullglob
packages=("$staging"/korvanti_*.deb)
if [ ${#packages[@]} -ne 1 ]; then
  cat "$staging/cpack.log" >&2
  echo "package.sh: cpack wrote ${#packages[@]} packages, not one" >&2
  exit 1
fi
mv "${packages[0]}" "$output/"
echo "$(cd "$output" && pwd)/$(basename "${packages[0]}")"
