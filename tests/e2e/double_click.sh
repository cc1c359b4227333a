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

e2e_start_app "$exe"
wid=$(e2e_wait_window "Vistrel Installer") || e2e_fail "no installer window"
e2e_wait_text "$wid" "170 0 330 260" "This will install Vistrel 1.3.2" 10 || e2e_fail "the window is not drawn"

e2e_double_click "$wid" $E2E_NEXT   # Next
text=$(e2e_read_text "$wid" 170 0 330 260)
case "$text" in *"DISCLAIMER OF WARRANTIES"*) ;; *) e2e_fail "a double click on Next did not stop at the licence: '$text'" ;; esac

e2e_double_click "$wid" $E2E_NEXT   # I Accept
text=$(e2e_read_text "$wid" 170 0 330 260)
case "$text" in *"Select your After Effects installation"*) ;; *) e2e_fail "a double click on I Accept did not stop at the folders: '$text'" ;; esac
E2E_OCR_CHARS="0123456789MB" e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "1MB" 5 || e2e_fail "the folder page shows no required size"
[ ! -e "$installed" ] || e2e_fail "a double click on I Accept installed the plug-in"
e2e_next_enabled "$wid" || e2e_fail "Install is disabled"

e2e_double_click "$wid" $E2E_NEXT   # Install
e2e_wait_text "$wid" "$E2E_SUCCESS" "Success" 30 || e2e_fail "no success"
[ -f "$installed" ] || e2e_fail "not installed: $installed"
sleep 0.5
kill -0 "$APP_PID" 2>/dev/null || e2e_fail "the second click on Install ended the program"

e2e_double_click "$wid" $E2E_NEXT   # Finish
e2e_wait_exit 0 15
echo PASS
