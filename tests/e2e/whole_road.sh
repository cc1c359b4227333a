#!/usr/bin/env bash
# The whole road: Next, I Accept, the discovered installations with their status, Install,
# the progress, "Success!", Finish. The plug-in is then installed in the target sub-folder
# of every ticked folder with the installer's access-control list, the temporary root is
# gone, and the program exits with 0. Screenshots of every page are kept for the README.
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
cs6="$E2E_TMP/Adobe After Effects CS6/Support Files/Plug-ins"
cc="$E2E_TMP/Adobe After Effects CC 2015/Support Files/Plug-ins"
skipped="$E2E_TMP/Adobe After Effects CC 2014/Support Files/Plug-ins"
mkdir -p "$cs6" "$cc" "$skipped"
# The CC 2015 folder already holds this version: it shows REPAIR.
cp "$(dirname "$exe")/payload/Vistrel.aex" "$E2E_TMP/stub.aex"
mkdir -p "$cc/Hollowfen/Vistrel" && cp "$E2E_TMP/stub.aex" "$cc/Hollowfen/Vistrel/Vistrel.aex"
e2e_registry "$E2E_TMP/registry.reg" 11 "$cs6" 13 "$skipped" 13.5 "$cc"

e2e_open_welcome_page "$exe"
e2e_screenshot "page-1-welcome"

e2e_click "$wid" $E2E_NEXT
e2e_wait_page "$wid" "$E2E_LICENCE_TEXT" || e2e_fail "no licence page"
e2e_screenshot "page-2-licence"

e2e_click "$wid" $E2E_NEXT
e2e_wait_page "$wid" "$E2E_FOLDERS_TEXT" || e2e_fail "no folder page"
for want in "Adobe After Effects CS6" "Adobe After Effects CC 2014" "Adobe After Effects CC 2015 (REPAIR)"; do
  e2e_wait_text "$wid" "$E2E_LIST" "$want" || e2e_fail "the list lacks '$want'"
done
E2E_OCR_CHARS="0123456789MB" e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "1MB" || e2e_fail "required size is not 1MB"
e2e_screenshot "page-3-folders"

# Untick CC 2014 (the second box); two folders stay ticked.
e2e_toggle_tick "$wid" 1
e2e_expect_next_enabled "$wid" "Install is disabled"
e2e_click "$wid" $E2E_NEXT
e2e_wait_text "$wid" "$E2E_SUCCESS" "Success" 60 || e2e_fail "no success"
e2e_wait_text "$wid" "170 100 330 100" "Now go and animate like a beast" || e2e_fail "no success text"
e2e_screenshot "page-4-success"

for folder in "$cs6" "$cc"; do
  installed="$folder/Hollowfen/Vistrel/Vistrel.aex"
  [ -f "$installed" ] || e2e_fail "not installed: $installed"
  cmp -s "$installed" "$E2E_TMP/stub.aex" || e2e_fail "installed file differs: $installed"
  e2e_check_acl "$installed"
done
[ ! -e "$skipped/Hollowfen" ] || e2e_fail "installed into the unticked folder"
[ ! -e "$E2E_TEMP_ROOT" ] || e2e_fail "the temporary root $E2E_TEMP_ROOT is still there"

e2e_click "$wid" $E2E_NEXT   # Finish
e2e_wait_exit 0
echo PASS
