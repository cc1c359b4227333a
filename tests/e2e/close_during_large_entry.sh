#!/usr/bin/env bash
# The window closed while one large entry is being extracted, over a folder that holds an
# older plug-in: the worker stops in the middle of the entry, the program ends with 0, the
# old plug-in stays byte for byte, and neither the temporary root nor a copy of the new
# plug-in is left. The installer is held to a small share of one core, so that the entry
# takes far longer than the 2 s that the program waits for its worker when it quits.
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
cc="$E2E_TMP/cc/Plug-ins"
plugin="$cc/Hollowfen/Vistrel/Vistrel.aex"
mkdir -p "$(dirname "$plugin")"
head -c 300000 /dev/urandom >"$E2E_TMP/old.aex"
cp "$E2E_TMP/old.aex" "$plugin"
e2e_registry "$E2E_TMP/registry.reg" 12 "$cc"

e2e_open_folder_page "$exe"
e2e_install_slowly "$wid"
# The entry is under way once its file in the temporary root has its first bytes.
extracted="$E2E_TEMP_ROOT/file-0/Vistrel.aex"
under_way() { [ -s "$extracted" ]; }
e2e_until 120 under_way || e2e_fail "the run does not extract"
e2e_log "closing with $(stat -c %s "$extracted" 2>/dev/null || echo '(gone)') of 64000000 bytes extracted"
e2e_close_window "$wid" 0

cmp -s "$plugin" "$E2E_TMP/old.aex" || e2e_fail "the old plug-in was changed"
[ ! -e "$E2E_TEMP_ROOT" ] || e2e_fail "the temporary root is left: $(find "$E2E_TEMP_ROOT" | head -n 5)"
left=$(find "$cc" -type f ! -path "$plugin")
[ -z "$left" ] || e2e_fail "files are left beside the plug-in: $left"
echo PASS
