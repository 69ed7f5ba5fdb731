#!/usr/bin/env bash
# Rows (h): a whole quick-start run of tessik.exe making a ZIP through our own
# TessikZip.dll (level 5), against the host's 7zz (-tzip -mx=5) and Info-ZIP
# (zip -r -6) on the same tree of real content, and the run's peak memory on
# that tree against a tree of ten times its files; beside them, the same run
# making a 7z through our own Tessik7z.dll (level 5, every core) against
# 7zz -t7z -mx=5 with as many threads: time, size and peak memory. Medians of
# three. Prints
# "row" lines as the benchmark programs do; scripts/bench.sh tabulates them.
#
#   bash scripts/bench-zip.sh        (after scripts/build.sh; bench.sh runs it)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSIK_BUILD_DIR:-$root/build}
# The prefix build/wine-run.sh runs in (its default, or the one it is given).
prefix=${TESSIK_WINEPREFIX:-$build/wineprefix}
bench="$prefix/drive_c/tessik-bench/zip"
run="$build/bench-zip-run"

# The tree, copied once: the machine's own C++ and Boost.Spirit headers and a
# file of 100 MB made from them; the large tree holds the headers ten times.
if [ ! -f "$bench/.made" ]; then
  rm -rf "$bench"
  mkdir -p "$bench/tree" "$bench/tree10"
  cp -r /usr/include/c++ "$bench/tree/c++"
  cp -r /usr/include/boost/spirit "$bench/tree/spirit"
  big="$bench/tree/big.bin"
  while [ "$(stat -c %s "$big" 2>/dev/null || echo 0)" -lt 104857600 ]; do
    find /usr/include/c++ /usr/include/boost/spirit -type f -print0 | xargs -0 cat >> "$big"
  done
  for i in 0 1 2 3 4 5 6 7 8 9; do
    mkdir -p "$bench/tree10/copy$i"
    cp -r "$bench/tree/c++" "$bench/tree/spirit" "$bench/tree10/copy$i/"
  done
  ln "$big" "$bench/tree10/big.bin"
  touch "$bench/.made"
fi

# The program alone with its own DLL: no bridge, no host tool.
rm -rf "$run"
mkdir -p "$run"
# As the release zip ships them, without debug sections (under Wine read in at every start).
x86_64-w64-mingw32-strip --strip-all -o "$run/tessik.exe" "$build/bin/tessik.exe"
x86_64-w64-mingw32-strip --strip-all -o "$run/TessikZip.dll" "$build/bin/tessikzip/TessikZip.dll"
x86_64-w64-mingw32-strip --strip-all -o "$run/Tessik7z.dll" "$build/bin/tessik7z/Tessik7z.dll"
ini="$prefix/drive_c/users/$(whoami)/AppData/Roaming/Norvane/Tessik/tessik.ini"
mkdir -p "$(dirname "$ini")"
saved=""
if [ -f "$ini" ]; then
  saved=$(mktemp)
  cp "$ini" "$saved"
fi
restore() {
  if [ -n "$saved" ]; then mv -f "$saved" "$ini"; else rm -f "$ini"; fi
  rm -rf "$run" "$bench/out"
}
trap restore EXIT
# Xvfb has no window manager, and Wine waits up to two seconds for one to
# confirm that a window it hid is gone: the progress window of every run would
# pay that wait, which no Windows desktop has. Unmanaged windows for the runs.
x11key='HKCU\Software\Wine\X11 Driver'
if ! "$build/wine-run.sh" reg query "$x11key" /v Managed >/dev/null 2>&1; then
  "$build/wine-run.sh" reg add "$x11key" /v Managed /d N /f >/dev/null 2>&1
  trap 'restore; "$build/wine-run.sh" reg delete "$x11key" /v Managed /f >/dev/null 2>&1' EXIT
fi
# The settings of a run making format $1 (TZIP or T7Z), both at level 5.
settings() {
  printf '[GENERAL]\r\nVersion=100\r\nDefaultArcType=%s\r\nQuickStart=true\r\nCmpEndExit=true\r\nOverWriteAction=1\r\nVerifyArchive=false\r\n[TZIP]\r\nLevel=5\r\n[T7Z]\r\nLevel=5\r\nThreads=0\r\n' \
    "$1" > "$ini"
}

# Seconds and peak resident kilobytes of one command, as "seconds kb".
measure() {
  python3 - "$@" <<'PY'
import resource, subprocess, sys, time
start = time.monotonic()
subprocess.run(sys.argv[1:], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
end = time.monotonic()
print("%.3f %d" % (end - start, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss))
PY
}
median() { printf '%s\n' "$@" | sort -n | sed -n 2p; }
# One quick-start run of the program on tree name making extension $2 (zip
# by default); prints "seconds kb bytes".
tessik_run() {
  local extension=${2:-zip}
  settings "$([ "$extension" = 7z ] && echo T7Z || echo TZIP)"
  rm -f "$bench/$1.$extension"
  local m
  m=$(measure "$build/wine-run.sh" "$run/tessik.exe" "C:\\tessik-bench\\zip\\$1")
  [ -f "$bench/$1.$extension" ] || { echo "tessik made no $1.$extension" >&2; exit 1; }
  echo "$m $(stat -c %s "$bench/$1.$extension")"
}
# A host tool's run making out/tree.zip or out/tree.7z; prints "seconds kb bytes".
host_run() {
  rm -rf "$bench/out" && mkdir -p "$bench/out"
  local m
  m=$(cd "$bench" && measure "$@")
  echo "$m $(stat -c %s "$bench"/out/tree.*)"
}

# One Wine server for all the timed runs, so that none of them starts it: a
# server left to itself ends three seconds after its last program, and each
# host tool's run takes longer than that. Any server still running ends first.
WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w
WINEPREFIX="$prefix" /usr/lib/wine/wineserver -p60
"$build/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true
t_time=(); t_size=(); t_mem=(); l_mem=(); s_time=(); z_time=(); z_size=()
q_time=(); q_size=(); q_mem=(); r_time=(); r_size=(); r_mem=()
threads=$(nproc)
for i in 1 2 3; do
  read -r s m b < <(tessik_run tree); t_time+=("$s"); t_mem+=("$m"); t_size+=("$b")
  read -r s m b < <(tessik_run tree10); l_mem+=("$m")
  read -r s m b < <(host_run 7zz a -tzip -mx=5 -bd -bso0 -bsp0 out/tree.zip tree); s_time+=("$s")
  read -r s m b < <(host_run zip -qr -6 out/tree.zip tree); z_time+=("$s"); z_size+=("$b")
  read -r s m b < <(tessik_run tree 7z); q_time+=("$s"); q_mem+=("$m"); q_size+=("$b")
  read -r s m b < <(host_run 7zz a -t7z -mx=5 "-mmt=$threads" -bd -bso0 -bsp0 out/tree.7z tree)
  r_time+=("$s"); r_mem+=("$m"); r_size+=("$b")
done
tt=$(median "${t_time[@]}"); st=$(median "${s_time[@]}"); zt=$(median "${z_time[@]}")
ts=$(median "${t_size[@]}"); zs=$(median "${z_size[@]}")
tm=$(median "${t_mem[@]}"); lm=$(median "${l_mem[@]}")
files=$(find "$bench/tree" -type f | wc -l)
echo "tessik: ${t_time[*]} s, 7zz: ${s_time[*]} s, zip: ${z_time[*]} s; sizes ${ts} / ${zs}; peak ${t_mem[*]} / ${l_mem[*]} KB" >&2

row() {  # label measured reference ratio goal
  awk -v l="$1" -v m="$2" -v r="$3" -v x="$4" -v g="$5" 'BEGIN {
    printf "row\t%s\t%s\t%s\t%.2f\t<= %.2f\t%s\n", l, m, r, x, g, (x <= g ? "met" : "MISSED") }'
}
row "(h) ZIP of $files files + 100 MB, whole run: tessik (TZIP -5) / 7zz -tzip -mx=5" "$tt s" "$st s" \
  "$(echo "$tt / $st" | bc -l)" 0.50
row "(h) same, tessik / zip -r -6" "$tt s" "$zt s" "$(echo "$tt / $zt" | bc -l)" 0.75
row "(h) archive size, tessik / zip -r -6" "$ts B" "$zs B" "$(echo "$ts / $zs" | bc -l)" 1.02
row "(h) peak memory, ten times the files / the tree" "$lm KB" "$tm KB" "$(echo "$lm / $tm" | bc -l)" 1.20
qt=$(median "${q_time[@]}"); rt=$(median "${r_time[@]}"); qs=$(median "${q_size[@]}"); rs=$(median "${r_size[@]}")
qm=$(median "${q_mem[@]}"); hm=$(median "${r_mem[@]}")
echo "7z: tessik ${q_time[*]} s, 7zz ${r_time[*]} s; sizes ${qs} / ${rs}; peak ${q_mem[*]} / ${r_mem[*]} KB" >&2
row "(h) 7z of the same tree, whole run: tessik (T7Z -5) / 7zz -t7z -mx=5 -mmt=$threads" "$qt s" "$rt s" \
  "$(echo "$qt / $rt" | bc -l)" 1.00
row "(h) 7z archive size, tessik / 7zz" "$qs B" "$rs B" "$(echo "$qs / $rs" | bc -l)" 1.02
row "(h) 7z peak memory, tessik / 7zz" "$qm KB" "$hm KB" "$(echo "$qm / $hm" | bc -l)" 1.00
