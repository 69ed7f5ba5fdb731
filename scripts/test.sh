#!/usr/bin/env bash
# One command from a fresh Debian 12 machine (as root): install, build both
# architectures, build the release package, run every test under Wine and
# print the summary.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
TESSIK_PACKAGE_NO_BUILD=1 bash "$root/scripts/package.sh"
cd "${TESSIK_BUILD_DIR:-$root/build}"
# One X server for the whole run: every test executable opens its windows there.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure "$@"
