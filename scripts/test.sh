#!/usr/bin/env bash
# Builds everything and runs the whole test suite, in four stages:
#   health    every C++ file formatted by .clang-format, cppcheck silent;
#   normal    the normal build (build/) and every test;
#   sanitize  the same build and tests under AddressSanitizer and
#             UndefinedBehaviorSanitizer (build-asan/): the programs the
#             end-to-end tests start are sanitized too, and any report, in a
#             test or in a program it started, fails the stage;
#   fuzz      the libFuzzer targets built with clang++ (build-fuzz/), each
#             fuzzed from a copy of its seed corpus for a bounded time.
# KORVANTI_STAGES chooses stages (default "health normal sanitize fuzz");
# KORVANTI_BUILD_DIR, KORVANTI_ASAN_BUILD_DIR and KORVANTI_FUZZ_BUILD_DIR
# move the build directories.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
stages=" ${KORVANTI_STAGES:-health normal sanitize fuzz} "
jobs="$(nproc)"
"$root/scripts/setup.sh" --tests
stage_start=$SECONDS
stage_done() { echo "== $1 stage passed in $((SECONDS - stage_start)) s"; stage_start=$SECONDS; }

if [[ "$stages" == *" health "* ]]; then
  echo "== code health: formatting and cppcheck"
  "$root/scripts/check-code.sh"
  stage_done health
fi

if [[ "$stages" == *" normal "* ]]; then
  echo "== normal build and tests"
  "$root/scripts/build.sh"
  ctest --test-dir "${KORVANTI_BUILD_DIR:-$root/build}" --output-on-failure -j"$jobs"
  stage_done normal
fi

if [[ "$stages" == *" sanitize "* ]]; then
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
  asan_build="${KORVANTI_ASAN_BUILD_DIR:-$root/build-asan}"
  # -O1 with line tables: quicker to build than -O2, and every report still
  # names its source lines.
  cmake -S "$root" -B "$asan_build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
    -DKORVANTI_SANITIZE=ON >/dev/null
  cmake --build "$asan_build" -j"$jobs"
  # Every report also goes to a file, so that one from a program a test
  # started fails the stage even where the test itself would not notice.
  reports="$asan_build/sanitizer-reports"
  rm -rf "$reports"
  mkdir -p "$reports"
  status=0
  ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1:strict_string_checks=1:check_initialization_order=1:detect_stack_use_after_return=1:log_path=$reports/asan" \
  UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1:log_path=$reports/ubsan" \
  LSAN_OPTIONS="suppressions=$root/scripts/lsan-third-party.supp:print_suppressions=0" \
    ctest --test-dir "$asan_build" --output-on-failure -j"$jobs" || status=$?
  if [ -n "$(ls -A "$reports")" ]; then
    for report in "$reports"/*; do
      echo "---- sanitizer report $report"
      cat "$report"
    done
    echo "Sanitizer reports were written: the sanitize stage fails." >&2
    status=1
  fi
  [ "$status" -eq 0 ] || exit "$status"
  stage_done sanitize
fi

if [[ "$stages" == *" fuzz "* ]]; then
  echo "== libFuzzer targets (clang++), each fuzzed for a bounded time"
  fuzz_build="${KORVANTI_FUZZ_BUILD_DIR:-$root/build-fuzz}"
  cmake -S "$root" -B "$fuzz_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DKORVANTI_FUZZ=ON -DKORVANTI_TESTS=OFF >/dev/null
  cmake --build "$fuzz_build" -j"$jobs"
  ctest --test-dir "$fuzz_build" --output-on-failure -j"$jobs"
  stage_done fuzz
fi
