#!/usr/bin/env bash
# The Windows installer under Wine, the whole road: the welcome and licence pages, the
# installation that the Wine registry names (with the window icon in the title bar),
# Install, "Success!", Finish. The plug-in is then in the target sub-folder of that
# plug-in folder, the temporary root is gone, and the program exits with 0. Screenshots of
# every page are kept. Wine keeps no access-control lists: they are not checked here.
#
#   whole_road.sh <VistrelInstaller.exe> <wine-run.sh>
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_wine_start_x "$2"
plugins_win='C:\Program Files\Adobe\Adobe After Effects CC 2015\Support Files\Plug-ins'
plugins="$drive_c/Program Files/Adobe/Adobe After Effects CC 2015/Support Files/Plug-ins"
mkdir -p "$plugins"
e2e_wine_plugin_folder 13.5 "$plugins_win"
temp_root="$drive_c/users/$(id -un)/Temp/HfVistrelInstaller"

e2e_wine_start_app "$exe"
e2e_screenshot "windows-page-1-welcome"

# The window icon (group 101) is what the title bar shows beside the title.
icon=$(xprop -id "$wid" _NET_WM_ICON 2>/dev/null | head -c 200)
case "$icon" in *"_NET_WM_ICON(CARDINAL)"*) ;; *) e2e_fail "the window has no icon: '$icon'" ;; esac

e2e_click "$wid" $E2E_NEXT
e2e_wait_page "$wid" "$E2E_LICENCE_TEXT" 60 || e2e_fail "no licence page (the page did not repaint?)"
e2e_screenshot "windows-page-2-licence"

e2e_click "$wid" $E2E_NEXT
e2e_wait_page "$wid" "$E2E_FOLDERS_TEXT" 60 || e2e_fail "no folder page"
e2e_wait_text "$wid" "$E2E_LIST" "Adobe After Effects CC 2015" || e2e_fail "the list does not name CC 2015"
E2E_OCR_CHARS="0123456789MB" e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "1MB" || e2e_fail "required size is not 1MB"
text=$(e2e_read_text "$wid" $E2E_LIST)
case "$text" in *"CS6"*|*"CC 2014"*) e2e_fail "the list names a folder the registry does not: '$text'" ;; esac
e2e_screenshot "windows-page-3-folders"
e2e_expect_next_enabled "$wid" "Install is disabled"

e2e_click "$wid" $E2E_NEXT
e2e_wait_text "$wid" "$E2E_SUCCESS" "Success" 60 || e2e_fail "no success"
e2e_screenshot "windows-page-4-success"

installed="$plugins/Hollowfen/Vistrel/Vistrel.aex"
[ -f "$installed" ] || e2e_fail "not installed: $installed"
cmp -s "$installed" "$(dirname "$exe")/payload/Vistrel.aex" || e2e_fail "installed file differs: $installed"
[ "$(find "$plugins" -type f | wc -l)" = 1 ] || e2e_fail "more than the plug-in was installed: $(find "$plugins" -type f)"
[ ! -e "$temp_root" ] || e2e_fail "the temporary root $temp_root is still there"

e2e_click "$wid" $E2E_NEXT   # Finish
e2e_wait_exit 0 30
echo PASS
