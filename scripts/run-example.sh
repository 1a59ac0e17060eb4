#!/usr/bin/env bash
# Builds Korvanti and runs it on a shipped example task file in a fresh
# scratch working directory. Usage: scripts/run-example.sh [examples/NAME.TSK]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
example="${1:-$root/examples/B4-55.TSK}"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" >/dev/null
work="$(mktemp -d "${TMPDIR:-/tmp}/korvanti-run-XXXXXX")"
cp "$example" "$work/Korvanti.TSK"
cp "$root/data/WAGBPROP.DAT" "$work/WAGBPROP.DAT"
cd "$work"
status=0
# The closing pause (and the AU confirmation) take end of input as Enter.
"${KORVANTI_BUILD_DIR:-$root/build}/calculator/Korvanti" </dev/null || status=$?
# Then the propeller as a solid: Korvanti.step, Korvanti.stl, Korvanti_panels.vtk.
if [ "$status" -eq 0 ]; then
  echo
  "${KORVANTI_BUILD_DIR:-$root/build}/solid/korvanti-solid" || status=$?
fi
echo
echo "Working directory with all outputs: $work"
ls -l "$work"
exit $status
