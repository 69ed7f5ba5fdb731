#!/usr/bin/env bash
# Builds Tessik and starts it under Wine (Japanese locale, the build tree's own
# Wine prefix). Arguments are passed to tessik.exe.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
TESSIK_SKIP_I686=1 bash "$root/scripts/build.sh"
build=${TESSIK_BUILD_DIR:-$root/build}
exec "$build/wine-run.sh" "$build/bin/tessik.exe" "$@"
