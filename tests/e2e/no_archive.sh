#!/usr/bin/env bash
# A program built without the embedded archive starts normally; on the folder page every
# refresh with a folder ticked shows the "Cannot install here" box, and "Install" stays disabled.
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
mkdir -p "$E2E_TMP/cc/Plug-ins"
e2e_registry "$E2E_TMP/registry.reg" 12 "$E2E_TMP/cc/Plug-ins"

e2e_open_folder_page "$exe"
e2e_dismiss_box "Cannot install here" "please contact our support at"
! e2e_next_enabled "$wid" || e2e_fail "Install enabled without archive"
E2E_OCR_CHARS="0123456789MB" e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "0MB" 5 || e2e_fail "size is not 0MB"

e2e_click "$wid" $(e2e_tick_box 0)   # nothing ticked: nothing to prepare, no box
sleep 0.5
xdotool search --onlyvisible --name "$(e2e_title_regex 'Cannot install here')" >/dev/null 2>&1 && e2e_fail "box with nothing ticked"
e2e_click "$wid" $(e2e_tick_box 0)
e2e_dismiss_box "Cannot install here" "please contact our support at"
! e2e_next_enabled "$wid" || e2e_fail "Install enabled without archive"

e2e_close_window "$wid" 0
echo PASS
