#!/usr/bin/env bash
# Pictures of the settings dialog with each archiver page, for the README. The
# format-page test saves them (build/artefacts/settings-page-*.bmp, named by a
# control only that page has); run inside a Wine virtual desktop, Wine draws
# the window frames itself. Needs a finished build (scripts/build.sh) and
# ImageMagick. The Japanese fonts come from the IPA fonts when the prefix maps
# the dialog fonts to them (HKCU\Software\Wine\Fonts\Replacements).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSIK_BUILD_DIR:-$root/build}
cd "$build"
xvfb-run -a -s "-screen 0 1024x768x24" ./wine-run.sh explorer /desktop=tessik-shots,800x600 \
  bin/test_ui.exe --gtest_filter='FormatPages.EveryPageShowsTheFile*'
for page in 1101:7z 1091:7zip-zip 1088:cab 1067:lha 1084:zip32j; do
  convert "artefacts/settings-page-${page%%:*}.bmp" "$root/docs/settings-page-${page##*:}.png"
done
