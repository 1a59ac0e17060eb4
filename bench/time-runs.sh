#!/usr/bin/env bash
# Times whole runs of both programs, process start included, over every task
# file in examples/ and reports the median of many runs per propeller.
#
#   bench/time-runs.sh [-n RUNS] [TASK.TSK ...]
#
# For each task, in a scratch directory holding Korvanti.TSK and WAGBPROP.DAT:
#   Korvanti new     Korvanti < /dev/null in a directory without earlier outputs
#                    (they are removed between runs, outside the timing)
#   Korvanti again   the same run over the files of the previous run
#   drawing 1        TELVARO_3B_CIZIMLER with DISPLAY unset, answers "1", "1"
#                    (form plans at scale 1) on standard input
#   drawing 2        the same with "2", "3", "E" (3D view of blades and hub,
#                    every blade)
# Each time runs from just before the program starts to just after it ends
# (bash's EPOCHREALTIME: no helper process is started for the clock).
# Then, as CPU time (user + system, process start included, the mean of RUNS
# runs, from bash's `times`):
#   CPU new          Korvanti < /dev/null, each run in a directory of its own
#                    without earlier outputs
#   CPU cp           cp of the files that run writes into an empty directory,
#                    as a user would copy them: the cost of the files alone
#   new/cp           the ratio of the two
# The programs run from the build of scripts/build.sh ($KORVANTI_BUILD_DIR or
# build/), which is brought up to date first.
set -euo pipefail
export LC_ALL=C
root="$(cd "$(dirname "$0")/.." && pwd)"
runs=50
if [ "${1:-}" = "-n" ]; then
  runs="$2"
  shift 2
fi
case "$runs" in
  ''|*[!0-9]*|0) echo "usage: $0 [-n RUNS] [TASK.TSK ...]" >&2; exit 2 ;;
esac
tasks=("$@")
if [ ${#tasks[@]} -eq 0 ]; then
  tasks=("$root"/examples/*.TSK)
fi

"$root/scripts/setup.sh" --tests
"$root/scripts/build.sh" >/dev/null
# The drawing generator asks on the console when there is no display.
unset DISPLAY
build="${KORVANTI_BUILD_DIR:-$root/build}"
korvanti="$build/calculator/Korvanti"
telvaro="$build/drawing/TELVARO_3B_CIZIMLER"

work="$(mktemp -d "${TMPDIR:-/tmp}/korvanti-times-XXXXXX")"
trap 'rm -rf "$work"' EXIT
printf '1\n1\n' >"$work/answers-1"
printf '2\n3\nE\n' >"$work/answers-2"

# The median of the numbers on standard input, in milliseconds.
median_ms() {
  sort -n | awk '{ v[NR] = $1 } END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%.2f", m / 1000 }'
}

remove_outputs() {
  find "$1" -maxdepth 1 -type f ! -name Korvanti.TSK ! -name WAGBPROP.DAT ! -name 'answers-*' -delete
}

# time_runs DIR INPUT COMMAND...: the median of $runs runs of COMMAND in DIR.
# With FRESH=1 the outputs of the previous run are removed before each run.
time_runs() {
  local dir="$1" input="$2"
  shift 2
  local t0 t1 status i
  (
    cd "$dir"
    "$@" <"$input" >/dev/null 2>&1 || true   # warm-up, not counted
    for ((i = 0; i < runs; i++)); do
      if [ "${FRESH:-0}" = 1 ]; then remove_outputs .; fi
      status=0
      t0=$EPOCHREALTIME
      "$@" <"$input" >/dev/null 2>&1 || status=$?
      t1=$EPOCHREALTIME
      if [ "$status" -ne 0 ]; then
        echo "$* ended with status $status in $dir" >&2
        exit 1
      fi
      echo $((10#${t1/./} - 10#${t0/./}))
    done
  ) | median_ms
}

# The CPU time of the finished children of this shell so far, in
# microseconds, into REPLY. `times` runs in this shell, so nothing else is
# counted.
children_cpu_us() {
  local self user system m s
  times >"$work/times"
  { read -r self; read -r user system; } <"$work/times"
  REPLY=0
  for t in "$user" "$system"; do
    m=${t%%m*}
    s=${t#*m}
    s=${s%s}
    REPLY=$((REPLY + (10#$m * 60 + 10#${s%.*}) * 1000000 + 10#${s#*.} * 1000))
  done
}

# cpu_runs DIR: the mean CPU time in ms of a new Korvanti run (each in a
# directory of its own holding the task's inputs) and of copying the files
# it writes with cp into an empty directory, as "NEW CP".
cpu_runs() {
  local dir="$1" i before after_new before_cp after_cp
  local -a outputs
  mkdir "$dir/cpu"
  for ((i = 0; i < runs; i++)); do
    mkdir "$dir/cpu/run$i" "$dir/cpu/copy$i"
    cp "$dir/Korvanti.TSK" "$dir/WAGBPROP.DAT" "$dir/cpu/run$i/"
  done
  children_cpu_us
  before=$REPLY
  for ((i = 0; i < runs; i++)); do
    cd "$dir/cpu/run$i"
    "$korvanti" </dev/null >/dev/null 2>&1 || true
  done
  children_cpu_us
  after_new=$REPLY
  cd "$dir/cpu/run0"
  mapfile -t outputs < <(ls | grep -v -x -e Korvanti.TSK -e WAGBPROP.DAT)
  children_cpu_us
  before_cp=$REPLY
  for ((i = 0; i < runs; i++)); do
    cp "${outputs[@]}" "$dir/cpu/copy$i/"
  done
  children_cpu_us
  after_cp=$REPLY
  cd "$work"
  rm -rf "$dir/cpu"
  awk -v n="$runs" -v a=$((after_new - before)) -v b=$((after_cp - before_cp)) \
    'BEGIN { printf "%.2f %.2f\n", a / n / 1000, b / n / 1000 }'
}

printf 'Median of %d runs, in ms (process start included); CPU: mean of %d runs\n\n' \
  "$runs" "$runs"
printf '%-22s %13s %15s %10s %10s %8s %8s %7s\n' task "Korvanti new" "Korvanti again" \
  "drawing 1" "drawing 2" "CPU new" "CPU cp" "new/cp"
worst_new=0 worst_again=0 worst_draw=0 worst_ratio=0
for task in "${tasks[@]}"; do
  name="$(basename "$task" .TSK)"
  dir="$work/$name"
  mkdir "$dir"
  cp "$task" "$dir/Korvanti.TSK"
  cp "$root/data/WAGBPROP.DAT" "$dir/WAGBPROP.DAT"
  new=$(FRESH=1 time_runs "$dir" /dev/null "$korvanti")
  again=$(time_runs "$dir" /dev/null "$korvanti")
  draw1=$(time_runs "$dir" "$work/answers-1" "$telvaro")
  draw2=$(time_runs "$dir" "$work/answers-2" "$telvaro")
  cpu_runs "$dir" >"$work/cpu"
  read -r cpu_new cpu_cp <"$work/cpu"
  ratio=$(awk -v a="$cpu_new" -v b="$cpu_cp" 'BEGIN { printf "%.2f", a / b }')
  printf '%-22s %13s %15s %10s %10s %8s %8s %7s\n' "$name" "$new" "$again" "$draw1" "$draw2" \
    "$cpu_new" "$cpu_cp" "$ratio"
  worst_ratio=$(awk -v a="$worst_ratio" -v b="$ratio" 'BEGIN { print (b > a) ? b : a }')
  worst_new=$(awk -v a="$worst_new" -v b="$new" 'BEGIN { print (b > a) ? b : a }')
  worst_again=$(awk -v a="$worst_again" -v b="$again" 'BEGIN { print (b > a) ? b : a }')
  worst_draw=$(awk -v a="$worst_draw" -v b="$draw1" -v c="$draw2" 'BEGIN { m = a; if (b > m) m = b; if (c > m) m = c; print m }')
done
printf '\nLargest median: Korvanti new %s ms, Korvanti again %s ms, drawing %s ms\n' \
  "$worst_new" "$worst_again" "$worst_draw"
printf 'Largest CPU ratio of a new run to copying its files with cp: %s\n' "$worst_ratio"
