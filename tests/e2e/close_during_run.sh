#!/usr/bin/env bash
# The window closed during a run: the program ends, the worker stops, and nothing is left
# half-written outside the temporary root (every installed file is whole).
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
cc="$E2E_TMP/cc/Plug-ins"
mkdir -p "$cc"
e2e_registry "$E2E_TMP/registry.reg" 12 "$cc"

e2e_open_folder_page "$exe"
E2E_CLICK_PAUSE=0.2 e2e_click "$wid" $E2E_NEXT   # Install
e2e_close_window "$wid" 0
pgrep -f "^$exe" >/dev/null && e2e_fail "a process of the installer is still running"

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
