#!/usr/bin/env bash
# Builds the benchmark programs and runs them all under Wine in one go (our
# own ZIP against the host's 7zz and zip on real content), and prints one
# table of ratios with their goals; each figure is a median of several runs, with the spread
# beside it. Not part of ctest: timings depend on the machine's load.
#
#   bash scripts/bench.sh            (after scripts/build.sh)
set -euo pipefail
# One X server for every program of the run (the dialogs need one).
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSIK_BUILD_DIR:-$root/build}
cmake --build "$build" --target benchmarks tessik tessikzip tessik7z >/dev/null
# The program and its DLL as the release zip ships them, without debug
# sections: what a user starts (under Wine the sections are read in at every
# start).
mkdir -p "$build/bin/release"
x86_64-w64-mingw32-strip --strip-all -o "$build/bin/release/tessik.exe" "$build/bin/tessik.exe"
x86_64-w64-mingw32-strip --strip-all -o "$build/bin/release/TessikZip.dll" "$build/bin/tessikzip/TessikZip.dll"

run() { (cd "$build" && ./wine-run.sh "bin/$1.exe" "${@:2}"); }
bench_dos='C:\tessik-bench'
rows=$(mktemp)
trap 'rm -f "$rows"' EXIT

echo "== (a) walk (makes the tree on the first run)" >&2
run bench_walk "$bench_dos" | tee -a "$rows" >/dev/null

echo "== (a) walk following .gitignore files (20 rules at the top, 5 in every tenth folder) against the walk without" >&2
run bench_walk "$bench_dos" --gitignore | tee -a "$rows" >/dev/null

echo "== (a) walk of 50,000 and 500,000 files, each in its own process (makes the large tree on the first run)" >&2
run bench_walk "$bench_dos" --growth | tee -a "$rows" >/dev/null

echo "== (f) filter preview, 100,000 files (makes its tree on the first run)" >&2
run bench_preview "$bench_dos" | tee -a "$rows" >/dev/null

echo "== (g) reading the new archive back, through the bridges" >&2
run bench_readback "$bench_dos" | tee -a "$rows" >/dev/null

echo "== (h) our own ZIP against 7zz and zip on real content (makes its tree on the first run)" >&2
bash "$root/scripts/bench-zip.sh" | tee -a "$rows" >/dev/null

echo "== (c) start-up to the dialog, (e) quick start with many lists" >&2
run bench_launch "$bench_dos" | tee -a "$rows" >/dev/null

echo "== parts of the start-up, settings read of many lists" >&2
run bench_startup "$bench_dos" | tee -a "$rows" >/dev/null

echo "== (d) SaveSettings" >&2
run bench_save | tee -a "$rows" >/dev/null

echo
printf '| %s | %s | %s | %s | %s | %s |\n' "Benchmark" "Tessik" "Reference" "Ratio" "Goal" "Result"
printf '|---|---|---|---|---|---|\n'
grep '^row' "$rows" | tr -d '\r' | awk -F'\t' '{ printf "| %s | %s | %s | %s | %s | %s |\n", $2, $3, $4, $5, $6, $7 }'
echo
echo "Row (b), the quick start against 7zz a -mx=0 with a stand-in that returns at once, is replaced by"
echo "the (h) rows: Tessik's own TessikZip.dll doing the real work against 7zz and zip."
echo
printf '| %s | %s |\n' "Part of the start-up (in one process)" "Median (spread)"
printf '|---|---|\n'
grep '^part' "$rows" | tr -d '\r' | awk -F'\t' '{ printf "| %s | %s |\n", $2, $3 }'
! grep -q 'MISSED' "$rows"
