#!/usr/bin/env bash
# Runs that fail: a read-only file in the target folder (error type 2, no detail box) and a
# folder standing where the plug-in goes (type 5, with the detail box naming it). Each shows
# the error text with its type and offers "Close", which ends the program with 0.
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x

run_until_error() {
  local folder=$1 type=$2 shot=$3
  e2e_registry "$E2E_TMP/registry.reg" 12 "$folder"
  e2e_open_folder_page "$exe"
  e2e_click "$wid" $E2E_NEXT
  e2e_wait_text "$wid" "$E2E_STATUS" "Error type: $type" 30 || e2e_fail "no error of type $type"
  text=$(e2e_read_text "$wid" $E2E_STATUS)
  case "$text" in *"An error occured"*) ;; *) e2e_fail "status reads '$text'" ;; esac
  e2e_screenshot "$shot"
}

# A read-only file below the destination: the run needs privileges it does not take.
readonly_target="$E2E_TMP/readonly/Plug-ins"
mkdir -p "$readonly_target/Hollowfen/Vistrel"
echo "settings" >"$readonly_target/Hollowfen/Vistrel/presets.txt"
chmod a-w "$readonly_target/Hollowfen/Vistrel/presets.txt"
run_until_error "$readonly_target" 2 "page-4-error-2"
details=$(e2e_read_text "$wid" 190 163 292 95)
case "$details" in *Detail*) e2e_fail "type 2 shows a detail box: '$details'" ;; esac
[ ! -e "$readonly_target/Hollowfen/Vistrel/Vistrel.aex" ] || e2e_fail "installed despite the read-only file"
e2e_next_enabled "$wid" || e2e_fail "Close is disabled"
e2e_click "$wid" $E2E_NEXT
e2e_wait_exit 0 15

# A folder where the plug-in file goes.
blocked="$E2E_TMP/blocked/Plug-ins"
mkdir -p "$blocked/Hollowfen/Vistrel/Vistrel.aex/inside"
run_until_error "$blocked" 5 "page-4-error-5"
details=$(e2e_read_text "$wid" 190 163 292 95)
case "$details" in *"Could not delete this file"*) ;; *) e2e_fail "the detail box reads '$details'" ;; esac
[ -d "$blocked/Hollowfen/Vistrel/Vistrel.aex/inside" ] || e2e_fail "the folder in the way was touched"
e2e_click "$wid" $E2E_NEXT
e2e_wait_exit 0 15
echo PASS
