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

e2e_downgrade_question "$wid" "$cc/Hollowfen/Vistrel/Vistrel.aex" "$E2E_TMP/newer.aex" \
  "$(dirname "$exe")/payload/Vistrel.aex" "box-downgrade"
e2e_click "$wid" $E2E_NEXT
e2e_wait_exit 0
echo PASS
