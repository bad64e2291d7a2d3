#!/usr/bin/env bash
# Runs every fuzz target of build-fuzz/ for a set time, starting from the committed seed
# corpus fuzz/corpus/<target>/ (copied, so the committed seeds stay small), and prints the
# executions each reached. Fails when a target finds a crash, a leak or undefined behaviour;
# the input that did it is left in build-fuzz/findings/.
#
#   tools/fuzz.sh [seconds per target=60] [fuzz build folder=build-fuzz]
set -u
seconds=${1:-60}
build=${2:-build-fuzz}
root=$(cd "$(dirname "$0")/.." && pwd)
findings="$build/findings"
mkdir -p "$findings"
status=0
printf '%-22s %12s %10s  %s\n' target executions exec/s result
for program in "$build"/*_fuzz; do
  [ -x "$program" ] || continue
  target=$(basename "$program" _fuzz)
  work=$(mktemp -d)
  cp -r "$root/fuzz/corpus/$target/." "$work/" 2>/dev/null
  log="$build/$target.log"
  # Standard output of the code under test is closed; libFuzzer and the sanitizers report on
  # standard error.
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$program" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 -close_fd_mask=1 \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" "$work" >"$log" 2>&1
  result=$?
  runs=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
  rate=$(awk '/stat::average_exec_per_sec/ {print $2}' "$log")
  if [ $result -eq 0 ]; then verdict=clean; else verdict="FAILED (see $log)"; status=1; fi
  printf '%-22s %12s %10s  %s\n' "$target" "${runs:-?}" "${rate:-?}" "$verdict"
  rm -rf "$work"
done
exit $status
