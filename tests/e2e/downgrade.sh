#!/usr/bin/env bash
# A ticked folder holding a newer plug-in: "Install" asks before the downgrade; Cancel stays
# on the folder page, OK installs.
source "$(dirname "$0")/lib.sh"
exe=$1
maker=${2:-}
if [ -z "$maker" ]; then echo "SKIP: this build packs a payload of its own, no stand-in plug-in maker"; exit 77; fi

e2e_start_x
cc="$E2E_TMP/cc/Plug-ins"
mkdir -p "$cc/Hollowfen/Vistrel"
"$maker" "$cc/Hollowfen/Vistrel/Vistrel.aex" 2.0.1
cp "$cc/Hollowfen/Vistrel/Vistrel.aex" "$E2E_TMP/newer.aex"
e2e_registry "$E2E_TMP/registry.reg" 12 "$cc"

e2e_open_folder_page "$exe"
# The long name is squeezed into its row, so its status shows whole.
e2e_wait_text "$wid" "$E2E_LIST" "(DOWNGRADE)" || e2e_fail "no DOWNGRADE status"

e2e_click "$wid" $E2E_NEXT
e2e_wait_window_text "Are you sure?" "do you really want to downgrade" >/dev/null || e2e_fail "no downgrade question"
e2e_screenshot "box-downgrade"
e2e_key_in "Are you sure?" Escape
e2e_window_gone "Are you sure?" || e2e_fail "the question did not close"
# Cancel: the folder page stays, and nothing is installed.
E2E_OCR_CHARS="0123456789MB" e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "1MB" || e2e_fail "left the folder page"
e2e_expect_text_stays "$wid" "$E2E_PAGE_AREA" "$E2E_FOLDERS_TEXT"
cmp -s "$cc/Hollowfen/Vistrel/Vistrel.aex" "$E2E_TMP/newer.aex" || e2e_fail "Cancel still installed"

e2e_click "$wid" $E2E_NEXT
e2e_wait_window "Are you sure?" >/dev/null || e2e_fail "no downgrade question the second time"
e2e_key_in "Are you sure?" Return
e2e_wait_text "$wid" "$E2E_SUCCESS" "Success" 60 || e2e_fail "no success after OK"
cmp -s "$cc/Hollowfen/Vistrel/Vistrel.aex" "$(dirname "$exe")/payload/Vistrel.aex" || e2e_fail "OK did not install"
e2e_click "$wid" $E2E_NEXT
e2e_wait_exit 0
echo PASS
