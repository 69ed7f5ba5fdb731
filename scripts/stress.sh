#!/usr/bin/env bash
# Runs the test programs that drive windows or other processes N times in a
# row while a busy loop keeps one core loaded, and lists every test that failed
# in any run. A test that waits for a time instead of a condition shows up here
# long before it fails on a slow machine.
#
#   bash scripts/stress.sh 5              # builds first if build/ has no tests
#   TESSIK_BUILD_DIR=/path/to/build bash scripts/stress.sh 5
#
# Exits non-zero when any test failed (or a program ended without a result).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSIK_BUILD_DIR:-$root/build}
runs=${1:-5}
# test_settings is left out: it opens no window and starts no process.
programs=(test_ui test_app test_shellext test_bridges test_common test_filters)
# As ctest's TIMEOUT for one test program.
program_timeout=900

if ! [[ "$runs" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 N   (N runs, N >= 1)" >&2
  exit 2
fi

if [ -z "${TESSIK_STRESS_INNER:-}" ]; then
  missing=0
  [ -x "$build/wine-run.sh" ] || missing=1
  for program in "${programs[@]}"; do
    [ -f "$build/bin/$program.exe" ] || missing=1
  done
  if [ "$missing" = 1 ]; then
    echo "stress: no complete build in $build, building it first"
    TESSIK_BUILD_DIR="$build" TESSIK_SKIP_I686=1 bash "$root/scripts/build.sh" || exit 1
  fi
  # One X server for every run, as scripts/test.sh does for ctest.
  exec env TESSIK_STRESS_INNER=1 TESSIK_BUILD_DIR="$build" \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

logs="$build/stress-logs"
rm -rf "$logs"
mkdir -p "$logs"

# The load: one core kept busy for the whole stress run.
( while :; do :; done ) &
busy_pid=$!
stop_load() {
  kill "$busy_pid" 2>/dev/null
  wait "$busy_pid" 2>/dev/null
}
trap stop_load EXIT
trap 'exit 130' INT TERM

failures=()
for run in $(seq 1 "$runs"); do
  for program in "${programs[@]}"; do
    log="$logs/run$run-$program.log"
    started=$(date +%s)
    # ctest runs each program in its folder of the build tree.
    (cd "$build/tests/${program#test_}" &&
      timeout "$program_timeout" "$build/wine-run.sh" "$build/bin/$program.exe") >"$log" 2>&1
    rc=$?
    seconds=$(( $(date +%s) - started ))
    # gtest names each failed test twice (as it fails and in the summary):
    # "[  FAILED  ] Suite.Name (12 ms)"; the count line has no dot in its name.
    mapfile -t failed < <(sed -n 's/^\[  FAILED  \] \([^ ]*\.[^ ]*\).*/\1/p' "$log" | sort -u)
    for name in "${failed[@]}"; do
      failures+=("run $run  $program  $name")
    done
    if [ "$rc" != 0 ] && [ "${#failed[@]}" = 0 ]; then
      if [ "$rc" = 124 ]; then
        failures+=("run $run  $program  (timed out after ${program_timeout} s)")
      else
        failures+=("run $run  $program  (exit code $rc without a failed test)")
      fi
    fi
    printf 'run %d/%d  %-14s %s  %4d s  %s\n' "$run" "$runs" "$program" \
      "$([ "$rc" = 0 ] && echo ok || echo FAILED)" "$seconds" \
      "$([ "${#failed[@]}" -gt 0 ] && echo "${failed[*]}")"
  done
done

echo
if [ "${#failures[@]}" = 0 ]; then
  echo "stress: $runs runs of ${programs[*]}: no failures"
  exit 0
fi
echo "stress: ${#failures[@]} failures in $runs runs (logs in $logs):"
for failure in "${failures[@]}"; do
  echo "  $failure"
done
exit 1
