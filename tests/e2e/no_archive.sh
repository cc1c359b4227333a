#!/usr/bin/env bash
# A program built without the embedded archive starts normally; on the folder page every
# refresh with a folder ticked shows the "Cannot install here" box, and "Install" stays disabled.
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
mkdir -p "$E2E_TMP/cc/Plug-ins"
e2e_registry "$E2E_TMP/registry.reg" 12 "$E2E_TMP/cc/Plug-ins"

e2e_open_licence_page "$exe"
e2e_click "$wid" $E2E_NEXT   # I Accept: the folder page refreshes, with the box
e2e_dismiss_box "Cannot install here" "please contact our support at"
e2e_expect_next_disabled "$wid" "Install enabled without archive"
E2E_OCR_CHARS="0123456789MB" e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "0MB" || e2e_fail "size is not 0MB"

# Nothing ticked: nothing to prepare, no box. The sign of that refresh is the tick box
# drawn empty; the box would have come with it.
e2e_toggle_tick "$wid" 0
e2e_expect_no_window "Cannot install here" 2
e2e_expect_next_disabled "$wid" "Install enabled with nothing ticked"

e2e_click "$wid" $(e2e_tick_box 0)
e2e_dismiss_box "Cannot install here" "please contact our support at"
e2e_expect_next_disabled "$wid" "Install enabled without archive"

e2e_close_window "$wid" 0
echo PASS
