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
temp_root="${TMPDIR:-/tmp}/HfVistrelInstaller"

e2e_start_app "$exe"
wid=$(e2e_wait_window "Vistrel Installer") || e2e_fail "no installer window"
e2e_wait_text "$wid" "170 0 330 260" "This will install Vistrel 1.3.2" 10 || e2e_fail "no welcome text"
e2e_screenshot "page-1-welcome"

e2e_click "$wid" $E2E_NEXT
e2e_screenshot "page-2-licence"
text=$(e2e_read_text "$wid" 170 0 330 260)
case "$text" in *"DISCLAIMER OF WARRANTIES"*) ;; *) e2e_fail "licence page reads '$text'" ;; esac

e2e_click "$wid" $E2E_NEXT
e2e_screenshot "page-3-folders"
text=$(e2e_read_text "$wid" 190 48 292 132)
for want in "Adobe After Effects CS6" "Adobe After Effects CC 2014" "Adobe After Effects CC 2015 (REPAIR)"; do
  case "$text" in *"$want"*) ;; *) e2e_fail "the list reads '$text', lacks '$want'" ;; esac
done
E2E_OCR_CHARS="0123456789MB" e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "1MB" 5 || e2e_fail "required size is not 1MB"

# Untick CC 2014 (the second box); two folders stay ticked.
e2e_click "$wid" $(e2e_tick_box 1)
e2e_next_enabled "$wid" || e2e_fail "Install is disabled"
e2e_click "$wid" $E2E_NEXT
e2e_wait_text "$wid" "$E2E_SUCCESS" "Success" 30 || e2e_fail "no success"
e2e_wait_text "$wid" "170 100 330 100" "Now go and animate like a beast" 10 || e2e_fail "no success text"
e2e_screenshot "page-4-success"

for folder in "$cs6" "$cc"; do
  installed="$folder/Hollowfen/Vistrel/Vistrel.aex"
  [ -f "$installed" ] || e2e_fail "not installed: $installed"
  cmp -s "$installed" "$E2E_TMP/stub.aex" || e2e_fail "installed file differs: $installed"
  e2e_check_acl "$installed"
done
[ ! -e "$skipped/Hollowfen" ] || e2e_fail "installed into the unticked folder"
[ ! -e "$temp_root" ] || e2e_fail "the temporary root $temp_root is still there"

e2e_click "$wid" $E2E_NEXT   # Finish
e2e_wait_exit 0 15
echo PASS
