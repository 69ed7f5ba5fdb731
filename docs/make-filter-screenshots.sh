#!/usr/bin/env bash
# Pictures of the filter page and the two filter editors for the README. The
# filter page tests save them (build/artefacts/*.bmp) inside a Wine virtual
# desktop, so that Wine draws the window frames. Needs a finished build
# (scripts/build.sh), ImageMagick, and for Japanese glyphs the font
# replacements "ＭＳ Ｐゴシック" -> IPAPGothic and "ＭＳ ゴシック" -> IPAGothic in
# the build's Wine prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSIK_BUILD_DIR:-$root/build}
cd "$build"
xvfb-run -a -s "-screen 0 1024x768x24" ./wine-run.sh explorer /desktop=tessik-shots,800x600 \
  bin/test_ui.exe --gtest_filter='FilterPage.AddsEdits*:FilterPage.ShowsInTheSettingsDialog*'
for picture in filter-page filter-list-editor filter-definition-editor; do
  convert "artefacts/$picture.bmp" "$root/docs/$picture.png"
done
