#!/usr/bin/env bash
# Pictures of the compress dialog, folded and unfolded, for the README. The
# dialog test saves them (build/artefacts/*.bmp); run inside a Wine virtual
# desktop, Wine draws the window frames itself, so the pictures have their
# title bars. Needs a finished build (scripts/build.sh) and ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSIK_BUILD_DIR:-$root/build}
cd "$build"
xvfb-run -a -s "-screen 0 1024x768x24" ./wine-run.sh explorer /desktop=tessik-shots,640x480 \
  bin/test_ui.exe --gtest_filter='CompressDialog.OpensFolded*'
for state in folded unfolded; do
  convert "artefacts/compress-dialog-$state.bmp" "$root/docs/compress-dialog-$state.png"
done
