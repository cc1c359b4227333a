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
text=$(e2e_read_text "$wid" 190 48 292 132)
# The long name is squeezed into its row, so its status shows whole.
case "$text" in *"(DOWNGRADE)"*) ;; *) e2e_fail "no DOWNGRADE status: '$text'" ;; esac

e2e_click "$wid" $E2E_NEXT
box=$(e2e_wait_window "Are you sure?" 10) || e2e_fail "no downgrade question"
text=$(e2e_read_window_text "$box")
case "$text" in *"do you really want to downgrade"*) ;; *) e2e_fail "question reads '$text'" ;; esac
e2e_screenshot "box-downgrade"
e2e_key_in "Are you sure?" Escape
e2e_window_gone "Are you sure?" || e2e_fail "the question did not close"
sleep 0.5
cmp -s "$cc/Hollowfen/Vistrel/Vistrel.aex" "$E2E_TMP/newer.aex" || e2e_fail "Cancel still installed"
E2E_OCR_CHARS="0123456789MB" e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "1MB" 5 || e2e_fail "left the folder page"

e2e_click "$wid" $E2E_NEXT
box=$(e2e_wait_window "Are you sure?" 10) || e2e_fail "no downgrade question the second time"
e2e_key_in "Are you sure?" Return
e2e_wait_text "$wid" "$E2E_SUCCESS" "Success" 30 || e2e_fail "no success after OK"
cmp -s "$cc/Hollowfen/Vistrel/Vistrel.aex" "$(dirname "$exe")/payload/Vistrel.aex" || e2e_fail "OK did not install"
e2e_click "$wid" $E2E_NEXT
e2e_wait_exit 0 15
echo PASS
