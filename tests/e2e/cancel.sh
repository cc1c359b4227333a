#!/usr/bin/env bash
# "Cancel" during a run (a payload of 1,500 entries, slow enough to be cancelled): the page
# shows "Installation was cancelled..", nothing of the task whose extraction stopped is
# installed, the temporary folder is gone, the forward button becomes "Close", and "Close"
# ends the program with 0.
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
cc="$E2E_TMP/cc/Plug-ins"
mkdir -p "$cc"
e2e_registry "$E2E_TMP/registry.reg" 12 "$cc"
temp_root="${TMPDIR:-/tmp}/HfVistrelInstaller"

e2e_open_folder_page "$exe"
E2E_CLICK_PAUSE=0.1 e2e_click "$wid" $E2E_NEXT   # Install
E2E_CLICK_PAUSE=0.1 e2e_click "$wid" $E2E_PREVIOUS   # Cancel

e2e_wait_any_text "$wid" "$E2E_STATUS" 30 "Installation was cancelled" >/dev/null \
  || e2e_fail "no cancel text"
e2e_screenshot "page-4-cancelled"
count=$(find "$cc" -type f 2>/dev/null | wc -l)
[ "$count" -eq 0 ] || e2e_fail "$count files of the cancelled task were installed"
[ ! -e "$temp_root" ] || e2e_fail "a cancelled run left $temp_root"

e2e_next_enabled "$wid" || e2e_fail "Close is disabled"
e2e_click "$wid" $E2E_NEXT   # Close
e2e_wait_exit 0 15
echo PASS
