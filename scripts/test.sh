#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
ctest --test-dir "${KORVANTI_BUILD_DIR:-$root/build}" --output-on-failure -j"$(nproc)"
