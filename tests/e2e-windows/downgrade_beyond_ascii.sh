#!/usr/bin/env bash
# The Windows installer under Wine, with a newer plug-in (1.4.0) installed in a plug-in
# folder whose path goes beyond ASCII ("Größe 插件"), named in the Wine registry: the list
# shows "DOWNGRADE" for it, and "Install" asks before the downgrade; Cancel stays on the
# folder page, OK installs. The program asks for no UTF-8 code page, so under Wine's code
# page 1252 only the UTF-16 calls read that version.
#
#   downgrade_beyond_ascii.sh <VistrelInstaller.exe> <wine-run.sh> [stand-in plug-in maker]
source "$(dirname "$0")/lib.sh"
exe=$1
maker=${3:-}
if [ -z "$maker" ]; then echo "SKIP: this build packs a payload of its own, no stand-in plug-in maker"; exit 77; fi

e2e_wine_start_x "$2"
plugins_win='C:\Program Files\Adobe\Größe 插件\Plug-ins'
plugins="$drive_c/Program Files/Adobe/Größe 插件/Plug-ins"
installed="$plugins/Hollowfen/Vistrel/Vistrel.aex"
mkdir -p "$(dirname "$installed")"
"$maker" "$installed" 1.4.0
cp "$installed" "$E2E_TMP/newer.aex"
e2e_wine_plugin_folder 13.5 "$plugins_win"

e2e_wine_start_app "$exe"
e2e_click "$wid" $E2E_NEXT
e2e_wait_page "$wid" "$E2E_LICENCE_TEXT" 60 || e2e_fail "no licence page"
e2e_click "$wid" $E2E_NEXT
e2e_wait_page "$wid" "$E2E_FOLDERS_TEXT" 60 || e2e_fail "no folder page"

# The row of a registry installation shows the host's name, with the status of the copy
# found in its folder: a folder whose path the registry gave wrongly would have no row.
e2e_wait_text "$wid" "$E2E_LIST" "Adobe After Effects CC 2015" || e2e_fail "the list does not name CC 2015"
e2e_wait_text "$wid" "$E2E_LIST" "(DOWNGRADE)" || e2e_fail "no DOWNGRADE status for the newer plug-in"
e2e_screenshot "windows-page-3-folders-downgrade"
e2e_expect_next_enabled "$wid" "Install is disabled"

e2e_downgrade_question "$wid" "$installed" "$E2E_TMP/newer.aex" "$(dirname "$exe")/payload/Vistrel.aex" \
  "windows-box-downgrade" 60

e2e_click "$wid" $E2E_NEXT   # Finish
e2e_wait_exit 0 30
echo PASS
