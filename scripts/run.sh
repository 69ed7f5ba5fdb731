#!/usr/bin/env bash
# Builds Tessik and starts it under Wine (Japanese locale, the build tree's own
# Wine prefix). Arguments are passed to tessik.exe: paths to compress open the
# compress dialog.
#
# The program runs from <build>/run, beside copies of the archiver stand-ins
# (tools/archiver-standins, a test tool): they take the archivers' places so
# that formats are offered, but they compress nothing; each one only creates
# the file its command names. bin/ itself stays free of archiver DLLs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
TESSIK_SKIP_I686=1 bash "$root/scripts/build.sh"
build=${TESSIK_BUILD_DIR:-$root/build}
run="$build/run"
mkdir -p "$run"
cp "$build/bin/tessik.exe" "$run/"
cp "$build/bin/standins/default/"* "$run/"
for dll in 7-Zip32.dll Cab32.dll Unlha32.dll Zip32j.dll; do
  printf 'create=archive\n' > "$run/$dll.script"
done
exec "$build/wine-run.sh" "$run/tessik.exe" "$@"
