#!/usr/bin/env bash
# While a process named "AfterFX.exe" runs, "Install" shows the "After Effects is running"
# box and the wizard stays on the folder page.
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
mkdir -p "$E2E_TMP/cc/Plug-ins"
e2e_registry "$E2E_TMP/registry.reg" 12 "$E2E_TMP/cc/Plug-ins"

cp /bin/sleep "$E2E_TMP/AfterFX.exe"
"$E2E_TMP/AfterFX.exe" 300 &
host=$!

e2e_open_folder_page "$exe"
e2e_click "$wid" $E2E_NEXT   # Install

e2e_wait_window_text "After Effects is running" "Before proceeding, please close it" >/dev/null \
  || e2e_fail "no 'After Effects is running' box that asks to close it"
e2e_screenshot "host-running"
e2e_key_in "After Effects is running" Return
e2e_window_gone "After Effects is running" || e2e_fail "the box did not close"

kill "$host"
# Still on the folder page, and it stays: nothing installed, the window open, "Install" enabled.
E2E_OCR_CHARS="0123456789MB" e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "1MB" || e2e_fail "the folder page is gone"
e2e_expect_text_stays "$wid" "$E2E_PAGE_AREA" "$E2E_FOLDERS_TEXT"
[ ! -e "$E2E_TMP/cc/Plug-ins/Hollowfen" ] || e2e_fail "something was installed"
e2e_expect_next_enabled "$wid" "Install is disabled"
kill -0 "$APP_PID" || e2e_fail "the installer ended"
e2e_close_window "$wid" 0
echo PASS
