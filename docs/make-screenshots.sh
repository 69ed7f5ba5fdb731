#!/usr/bin/env bash
# The README's pictures: the compress dialog folded and unfolded, the settings
# dialog on its general pages, every archiver page, the filter page, both
# filter editors and the filter preview, also with .gitignore rules. The dialog tests save them (build/artefacts/*.bmp); run
# inside a Wine virtual desktop, Wine draws the window frames itself, so the
# pictures have their title bars. The prefix maps the dialog fonts to the Ume
# fonts (build/wine-run.sh sees to it). Needs a finished build
# (scripts/build.sh) and ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSIK_BUILD_DIR:-$root/build}
cd "$build"
shoot() {
  xvfb-run -a -s "-screen 0 1024x768x24" ./wine-run.sh explorer /desktop=tessik-shots,800x600 "$@"
}
shoot bin/test_ui.exe --gtest_filter='CompressDialog.OpensFolded*:FormatPages.EveryPageShowsTheFile*:FilterPage.AddsEdits*:FilterPage.ShowsInTheSettingsDialog*:FilterPreview.ShowsEveryFile*:FilterPreview.RowsLeftOutByGitIgnore*'
shoot bin/test_app.exe --gtest_filter='SettingsMode.DialogAndGeneralPages*'
for picture in compress-dialog-folded compress-dialog-unfolded settings-basic settings-shellext settings-version \
               filter-page filter-list-editor filter-definition-editor filter-preview filter-preview-gitignore; do
  convert "artefacts/$picture.bmp" "$root/docs/$picture.png"
done
for page in 1101:7z 1091:7zip-zip 1133:tzip 1088:cab 1067:lha 1084:zip32j; do
  convert "artefacts/settings-page-${page%%:*}.bmp" "$root/docs/settings-page-${page##*:}.png"
done
