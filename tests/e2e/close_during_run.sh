#!/usr/bin/env bash
# The window closed during a run (a payload of 1,500 entries): the program ends with 0, the
# worker stops, the temporary root is gone, and nothing is left half-written: every
# installed file is whole. The installer is held to a small share of one core while it
# runs, so that the run is still going when the close request comes.
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
cc="$E2E_TMP/cc/Plug-ins"
mkdir -p "$cc"
e2e_registry "$E2E_TMP/registry.reg" 12 "$cc"

e2e_open_folder_page "$exe"
e2e_install_slowly "$wid"
# The run is going once it has extracted a file into the temporary root.
extracting() { [ -n "$(find "$E2E_TEMP_ROOT" -type f -print -quit 2>/dev/null)" ]; }
e2e_until 120 extracting || e2e_fail "the run does not extract"
e2e_close_window "$wid" 0
pgrep -f "^$exe" >/dev/null && e2e_fail "a process of the installer is still running"
[ ! -e "$E2E_TEMP_ROOT" ] || e2e_fail "the temporary root $E2E_TEMP_ROOT is left"

count=0
while IFS= read -r -d '' f; do
  count=$((count + 1))
  case "$f" in
    */Vistrel.aex) want=1500000 ;;
    *) want=200000 ;;
  esac
  [ "$(stat -c %s "$f")" = "$want" ] || e2e_fail "half-written file: $f"
done < <(find "$cc" -type f -print0)
[ "$count" -lt 1501 ] || e2e_fail "the whole run finished before the window closed"
echo "PASS ($count whole files installed before the stop)"
