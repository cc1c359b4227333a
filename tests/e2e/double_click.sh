#!/usr/bin/env bash
# A double click on each forward button moves one page: "Next" shows the licence, "I Accept"
# the folder page (nothing installed), "Install" the run, which ends on "Success!" with the
# program still open; "Finish" then ends it with 0.
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
cc="$E2E_TMP/Adobe After Effects CC 2015/Support Files/Plug-ins"
mkdir -p "$cc"
installed="$cc/Hollowfen/Vistrel/Vistrel.aex"
e2e_registry "$E2E_TMP/registry.reg" 13.5 "$cc"

e2e_open_welcome_page "$exe"

# Each page shows, and stays: a second page change would come within the settle time.
e2e_double_click "$wid" $E2E_NEXT   # Next
e2e_wait_page "$wid" "$E2E_LICENCE_TEXT" || e2e_fail "a double click on Next did not show the licence"
e2e_expect_text_stays "$wid" "$E2E_PAGE_AREA" "$E2E_LICENCE_TEXT"

e2e_double_click "$wid" $E2E_NEXT   # I Accept
e2e_wait_page "$wid" "$E2E_FOLDERS_TEXT" || e2e_fail "a double click on I Accept did not show the folders"
e2e_expect_text_stays "$wid" "$E2E_PAGE_AREA" "$E2E_FOLDERS_TEXT"
E2E_OCR_CHARS="0123456789MB" e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "1MB" || e2e_fail "the folder page shows no required size"
[ ! -e "$installed" ] || e2e_fail "a double click on I Accept installed the plug-in"
e2e_expect_next_enabled "$wid" "Install is disabled"

e2e_double_click "$wid" $E2E_NEXT   # Install
e2e_wait_text "$wid" "$E2E_SUCCESS" "Success" 60 || e2e_fail "no success"
[ -f "$installed" ] || e2e_fail "not installed: $installed"
e2e_stays 1.5 kill -0 "$APP_PID" 2>/dev/null || e2e_fail "the second click on Install ended the program"
e2e_expect_text_stays "$wid" "$E2E_SUCCESS" "Success"

e2e_double_click "$wid" $E2E_NEXT   # Finish
e2e_wait_exit 0
echo PASS
