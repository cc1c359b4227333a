#!/usr/bin/env bash
# A named pipe where the plug-in file would be, in a discovered folder and in one picked
# with "Browse": the window comes up and works. Each folder shows as holding a copy whose
# version cannot be read ("UPDATE"), and installing replaces each pipe with the plug-in.
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
cc="$E2E_TMP/AE/CC/Support Files/Plug-ins"
browsed="$E2E_TMP/Other/Plug-ins"
mkdir -p "$cc/Hollowfen/Vistrel" "$browsed/Hollowfen/Vistrel" "$E2E_TMP/Other/Install"
mkfifo "$cc/Hollowfen/Vistrel/Vistrel.aex" "$browsed/Hollowfen/Vistrel/Vistrel.aex"
e2e_registry "$E2E_TMP/registry.reg" 12 "$cc"

e2e_open_folder_page "$exe"
e2e_wait_text "$wid" "$E2E_LIST" "Adobe After Effects CC 2012 (UPDATE" || e2e_fail "the list shows no UPDATE record"

e2e_click "$wid" $E2E_BROWSE
e2e_choose_folder "$E2E_TMP/Other/Install"
e2e_wait_text "$wid" "$E2E_LIST" "Custom location (UPDATE" || e2e_fail "no custom record after Browse"
e2e_screenshot "named-pipe-folders"

e2e_click "$wid" $E2E_NEXT
e2e_wait_text "$wid" "$E2E_SUCCESS" "Success" 60 || e2e_fail "no success"
for folder in "$cc" "$browsed"; do
  installed="$folder/Hollowfen/Vistrel/Vistrel.aex"
  [ -f "$installed" ] || e2e_fail "the pipe was not replaced: $installed"
  cmp -s "$installed" "$(dirname "$exe")/payload/Vistrel.aex" || e2e_fail "installed file differs: $installed"
done
e2e_click "$wid" $E2E_NEXT   # Finish
e2e_wait_exit 0
echo PASS
