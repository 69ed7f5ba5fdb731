#!/usr/bin/env bash
# The README's pictures: the compress dialog folded and unfolded, the settings
# dialog on its general pages, every archiver page, the filter page, both
# filter editors and the filter preview, also with .gitignore rules. The dialog tests save them (build/artefacts/*.bmp); run
# inside a Wine virtual desktop, Wine draws the window frames itself, so the
# pictures have their title bars. The prefix maps the dialog fonts to the Ume
# fonts (build/wine-run.sh sees to it). The pictures come from prefixes of
# their own with Wine's light visual style on, as winecfg sets it, one at
# 100 % and one at 150 % (LogPixels 144); the tests' prefix keeps the classic
# look its pixel checks expect. Needs a finished build (scripts/build.sh) and
# ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSIK_BUILD_DIR:-$root/build}
cd "$build"
# A prefix with the light style at this scale (dots per inch).
styled_prefix() {
  export TESSIK_WINEPREFIX=$build/wineprefix-shots-$1
  local theme='HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager'
  ./wine-run.sh reg add "$theme" /v ThemeActive /d 1 /f >/dev/null
  ./wine-run.sh reg add "$theme" /v DllName /d 'C:\windows\resources\themes\light\light.msstyles' /f >/dev/null
  ./wine-run.sh reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
  WINEPREFIX=$TESSIK_WINEPREFIX /usr/lib/wine/wineserver -w
}
shoot() {
  xvfb-run -a -s "-screen 0 1024x768x24" ./wine-run.sh explorer /desktop=tessik-shots,800x600 "$@"
}
styled_prefix 96
shoot bin/test_ui.exe --gtest_filter='CompressDialog.OpensFolded*:FormatPages.EveryPageShowsTheFile*:FilterPage.AddsEdits*:FilterPage.ShowsInTheSettingsDialog*:FilterPreview.ShowsEveryFile*:FilterPreview.RowsLeftOutByGitIgnore*'
shoot bin/test_app.exe --gtest_filter='SettingsMode.DialogAndGeneralPages*'
for picture in compress-dialog-folded compress-dialog-unfolded settings-basic settings-shellext settings-version \
               filter-page filter-list-editor filter-definition-editor filter-preview filter-preview-gitignore; do
  convert "artefacts/$picture.bmp" "$root/docs/$picture.png"
done
for page in 1101:7z 1091:7zip-zip 1133:tzip 1088:cab 1067:lha 1084:zip32j 1148:t7z; do
  convert "artefacts/settings-page-${page%%:*}.bmp" "$root/docs/settings-page-${page##*:}.png"
done
# One picture at 150 %. The test's own checks are made for 100 %; what counts
# here is the picture it saves.
styled_prefix 144
rm -f artefacts/compress-dialog-unfolded.bmp
shoot bin/test_ui.exe --gtest_filter='CompressDialog.OpensFolded*' || true
convert artefacts/compress-dialog-unfolded.bmp "$root/docs/compress-dialog-unfolded-150.png"
