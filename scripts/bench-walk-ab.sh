#!/usr/bin/env bash
# Row (a), the walk, against the same walk of an earlier commit, in one run:
# the earlier commit's bench_walk is built in a worktree of its own, then the
# two programs run by turns on the same tree (five rounds each, or as many as
# given), and the script prints the medians of their walks and the ratio. For
# a change that may cost the walk time (progress, stop checks) the ratio
# should stay within 1.02; single rounds spread by a fifth on two cores, so
# more rounds give a steadier median.
#
#   bash scripts/bench-walk-ab.sh <commit> [rounds]    (after scripts/build.sh)
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
base=${1:?usage: bench-walk-ab.sh <commit> [rounds]}
rounds=${2:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSIK_BUILD_DIR:-$root/build}
tree=$(mktemp -d)
trap 'git -C "$root" worktree remove --force "$tree/src" >/dev/null 2>&1 || true; rm -rf "$tree"' EXIT
git -C "$root" worktree add --detach "$tree/src" "$base" >/dev/null
cmake -S "$tree/src" -B "$tree/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$tree/src/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$tree/build" --target bench_walk >/dev/null
cmake --build "$build" --target bench_walk >/dev/null
cp "$tree/build/bin/bench_walk.exe" "$build/bin/bench_walk_base.exe"
trap 'rm -f "$build/bin/bench_walk_base.exe"; git -C "$root" worktree remove --force "$tree/src" >/dev/null 2>&1 || true; rm -rf "$tree"' EXIT

# Files per second of the walk, from the first row the program prints.
rate() { (cd "$build" && ./wine-run.sh "bin/$1.exe" 'C:\tessik-bench') 2>/dev/null | tr -d '\r' |
  awk -F'\t' '/^row/ { split($3, a, " "); print a[1]; exit }'; }
now=() before=()
for ((round = 1; round <= rounds; ++round)); do
  before+=("$(rate bench_walk_base)")
  now+=("$(rate bench_walk)")
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
b=$(median "${before[@]}")
n=$(median "${now[@]}")
echo "walk of $base: ${before[*]} files/s, median $b"
echo "walk now:      ${now[*]} files/s, median $n"
awk -v b="$b" -v n="$n" 'BEGIN { r = b / n; printf "time now / time of the earlier commit: %.3f (goal <= 1.02): %s\n", r, r <= 1.02 ? "met" : "MISSED"; exit r <= 1.02 ? 0 : 1 }'
