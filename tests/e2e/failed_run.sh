#!/usr/bin/env bash
# Runs that fail: a read-only file in the target folder (error type 2, no detail box) and a
# folder standing where the plug-in goes (type 5, with the detail box naming it). Each shows
# the error text with its type and offers "Close", which ends the program with 0.
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x

run_until_error() {
  local folder=$1 type=$2
  e2e_registry "$E2E_TMP/registry.reg" 12 "$folder"
  e2e_open_folder_page "$exe"
  e2e_click "$wid" $E2E_NEXT
  e2e_wait_text "$wid" "$E2E_STATUS" "Error type: $type" 60 || e2e_fail "no error of type $type"
  e2e_wait_text "$wid" "$E2E_STATUS" "An error occured" || e2e_fail "the status is no error text"
  e2e_expect_next_enabled "$wid" "Close is disabled"
}

# shellcheck disable=SC2086
no_detail_text() { case "$(e2e_read_text "$wid" $E2E_DETAILS)" in *Detail*) return 1 ;; esac; }

# A read-only file below the destination: the run needs privileges it does not take.
readonly_target="$E2E_TMP/readonly/Plug-ins"
mkdir -p "$readonly_target/Hollowfen/Vistrel"
echo "settings" >"$readonly_target/Hollowfen/Vistrel/presets.txt"
chmod a-w "$readonly_target/Hollowfen/Vistrel/presets.txt"
run_until_error "$readonly_target" 2
e2e_screenshot "page-4-error-2"
# The error text and "Close" show: the detail box, which would show with them, stays away.
e2e_stays 1.5 no_detail_text || e2e_fail "type 2 shows a detail box"
[ ! -e "$readonly_target/Hollowfen/Vistrel/Vistrel.aex" ] || e2e_fail "installed despite the read-only file"
e2e_click "$wid" $E2E_NEXT
e2e_wait_exit 0

# A folder where the plug-in file goes.
blocked="$E2E_TMP/blocked/Plug-ins"
mkdir -p "$blocked/Hollowfen/Vistrel/Vistrel.aex/inside"
run_until_error "$blocked" 5
e2e_wait_text "$wid" "$E2E_DETAILS" "Could not delete this file" || e2e_fail "the detail box does not name the file"
e2e_screenshot "page-4-error-5"
[ -d "$blocked/Hollowfen/Vistrel/Vistrel.aex/inside" ] || e2e_fail "the folder in the way was touched"
e2e_click "$wid" $E2E_NEXT
e2e_wait_exit 0
echo PASS
