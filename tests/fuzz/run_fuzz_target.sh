#!/usr/bin/env bash
# Fuzzes one target for a bounded time from a copy of its seed corpus (the
# committed corpus is never changed). Fails on a crash, a hang (an input
# running over 10 s), a sanitizer report or an uncaught exception.
#   run_fuzz_target.sh TARGET CORPUS WORK_DIR SECONDS
set -euo pipefail
target="$1" corpus="$2" work="$3" seconds="$4"
rm -rf "$work"
# The target's scratch directory goes under $work/tmp, so that a run cut
# short by a finding leaves nothing behind in the system's /tmp.
mkdir -p "$work/corpus" "$work/findings" "$work/tmp"
cp "$corpus"/* "$work/corpus/"
status=0
# Leaks inside third-party libraries (fontconfig, loaded by cairo for the
# drawing's texts) are suppressed as in the sanitized test run.
suppressions="$(cd "$(dirname "$0")/../.." && pwd)/scripts/lsan-third-party.supp"
LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
TMPDIR="$work/tmp" "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -dict="$(dirname "$0")/numbers.dict" \
  -artifact_prefix="$work/findings/" "$work/corpus" || status=$?
if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/findings")" ]; then
  echo "FUZZ FAILURE: exit status $status; inputs kept in $work/findings:" >&2
  ls -l "$work/findings" >&2
  exit 1
fi
