#!/usr/bin/env bash
# Builds the setup program from a folder of staged release files (tessik.exe,
# TessikZip.dll, Tessik7z.dll, tessikshlex_x64.dll, tessikshlex_install_x64.exe,
# tessikshlex_install.exe, readme.txt) with makensis and setup/tessik.nsi:
#
#   bash scripts/make-setup.sh STAGE OUT.exe VERSION [TARGET]
#
# scripts/package.sh makes the release's (32-bit, runs on every Windows);
# the setup test makes one with TARGET amd64-unicode from the 64-bit build.
# The maker's name and the notice come from resources/version.h, as every
# binary's version resource has them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 3 ] || { echo "usage: $0 STAGE OUT.exe VERSION [TARGET]" >&2; exit 2; }
stage=$(cd "$1" && pwd)
out=$2
version=$3
target=${4:-}
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac

header() {
  sed -n "s/^#define $1 \"\\(.*\\)\"\$/\\1/p" "$root/resources/version.h"
}
company=$(header TESSIK_COMPANY_NAME)
rights=$(header TESSIK_RIGHTS_NOTICE)
[ -n "$company" ] && [ -n "$rights" ] || { echo "resources/version.h: no maker or notice" >&2; exit 1; }
for f in tessik.exe TessikZip.dll Tessik7z.dll tessikshlex_x64.dll tessikshlex_install_x64.exe tessikshlex_install.exe readme.txt; do
  [ -f "$stage/$f" ] || { echo "missing in $stage: $f" >&2; exit 1; }
done

args=(-V2 -INPUTCHARSET UTF8 "-DSTAGE=$stage" "-DVERSION=$version" "-DOUTFILE=$out"
      "-DCOMPANY=$company" "-DRIGHTS=$rights")
[ -z "$target" ] || args+=("-DTARGET=$target")
makensis "${args[@]}" "$root/setup/tessik.nsi"
