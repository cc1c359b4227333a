#!/usr/bin/env bash
# With a payload of 1,500,000 bytes: nothing ticked shows 0MB with "Install" disabled, one
# ticked folder 2MB, two 3MB (whole megabytes of 1,000,000 bytes, rounded up).
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
mkdir -p "$E2E_TMP/cs6/Plug-ins" "$E2E_TMP/cc/Plug-ins"
e2e_registry "$E2E_TMP/registry.reg" 11 "$E2E_TMP/cs6/Plug-ins" 12 "$E2E_TMP/cc/Plug-ins"
export E2E_OCR_CHARS="0123456789MB"

e2e_open_folder_page "$exe"

e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "3MB" || e2e_fail "two folders: not 3MB"
e2e_expect_next_enabled "$wid" "Install disabled with two folders"

e2e_toggle_tick "$wid" 0
e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "2MB" || e2e_fail "one folder: not 2MB"
e2e_expect_next_enabled "$wid" "Install disabled with one folder"

e2e_toggle_tick "$wid" 1
e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "0MB" || e2e_fail "no folder: not 0MB"
e2e_expect_next_disabled "$wid" "Install enabled with nothing ticked"
e2e_screenshot "nothing-ticked"

# A click on the disabled button does nothing: the page stays, nothing is installed.
e2e_click "$wid" $E2E_NEXT
e2e_expect_text_stays "$wid" "$E2E_REQUIRED_SIZE" "0MB"
[ ! -e "$E2E_TMP/cs6/Plug-ins/Hollowfen" ] || e2e_fail "something was installed"

e2e_close_window "$wid" 0
echo PASS
