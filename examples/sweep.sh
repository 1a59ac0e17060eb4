#!/bin/sh
# A design sweep with Korvanti's command line: Wageningen B-series, Z = 4,
# D = 2 m, area ratios 0.40 to 1.00 in steps of 0.15 and pitch ratios 0.8 and
# 1.2. Each propeller is computed in a directory of its own under OUTDIR
# (default: sweep), which keeps its Korvanti.TSK, its output files and its
# console in Korvanti.log; then the blade mass and moment of inertia are read
# from each Korvanti.SON and printed as a table.
#
#   examples/sweep.sh [OUTDIR]
#
# KORVANTI names the program (default: Korvanti on the PATH, else the one
# built in build/). BLADES, DIAMETER, AREA_RATIOS and PITCH_RATIOS change the
# sweep, e.g. AREA_RATIOS="0.50 0.60" PITCH_RATIOS=1.0 examples/sweep.sh.
# The B-series tables come from the copy installed with Korvanti. The exit
# status is 1 when any run did not finish (its row then says so).
set -eu

out=${1:-sweep}
blades=${BLADES:-4}
diameter=${DIAMETER:-2.0}
area_ratios=${AREA_RATIOS:-"0.40 0.55 0.70 0.85 1.00"}
pitch_ratios=${PITCH_RATIOS:-"0.8 1.2"}

korvanti=${KORVANTI:-}
if [ -z "$korvanti" ]; then
  if command -v Korvanti >/dev/null 2>&1; then
    korvanti=Korvanti
  else
    korvanti="$(cd "$(dirname "$0")/.." && pwd)/build/calculator/Korvanti"
  fi
fi

mkdir -p "$out"
failed=0
printf '%-3s %-5s %-5s %-5s %-8s %-11s %s\n' Z Ear P/D 'D(m)' 'm(kg)' 'Iox(kg*m2)' directory
for ear in $area_ratios; do
  for pd in $pitch_ratios; do
    dir="$out/B$blades-$ear-$pd"
    mkdir -p "$dir"
    if "$korvanti" -C "$dir" --series=B --blades="$blades" --area-ratio="$ear" \
        --pitch-ratio="$pd" --diameter="$diameter" --no-pause >"$dir/Korvanti.log" 2>&1; then
      # " m     =    106.6 kg (...)" and " Iox   =    29.58 kg*m2 (...)"
      mass=$(awk '$1 == "m" && $2 == "=" { print $3; exit }' "$dir/Korvanti.SON")
      inertia=$(awk '$1 == "Iox" && $2 == "=" { print $3; exit }' "$dir/Korvanti.SON")
    else
      mass="-"
      inertia="stopped"
      failed=1
    fi
    printf '%-3s %-5s %-5s %-5s %-8s %-11s %s\n' "$blades" "$ear" "$pd" "$diameter" \
      "$mass" "$inertia" "$dir"
  done
done
exit $failed
