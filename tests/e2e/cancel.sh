#!/usr/bin/env bash
# "Cancel" during a run (a payload of 1,500 entries): the page shows "Installation was
# cancelled..", nothing of the task whose extraction stopped is installed, the temporary
# folder is gone, the forward button becomes "Close", and "Close" ends the program with 0.
# The installer is held to a small share of one core while it runs, so that the run is
# still going when "Cancel" comes, whatever this machine's speed; a run that goes on to its
# success after "Cancel" has lost the cancel.
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
cc="$E2E_TMP/cc/Plug-ins"
mkdir -p "$cc"
e2e_registry "$E2E_TMP/registry.reg" 12 "$cc"

e2e_open_folder_page "$exe"
e2e_install_slowly "$wid"
e2e_wait_text "$wid" "$E2E_STATUS" "Extracting files" 120 || e2e_fail "the run does not show its extraction"
E2E_CLICK_PAUSE=0.1 e2e_click "$wid" $E2E_PREVIOUS   # Cancel

# The run has ended, cancelled or not, once the forward button is enabled ("Close" or
# "Finish"). Held, the run lasts far longer than the cancel needs to end it at its next
# entry. After a settle time the installer gets the whole core again, so that a run that
# did not take the cancel soon shows its success.
settle=15
e2e_until "$settle" e2e_next_looks_enabled "$wid" \
  || e2e_log "the run has not ended ${settle}s after Cancel; the installer gets the whole core"
e2e_unslow_app
e2e_until 60 e2e_next_looks_enabled "$wid" || e2e_fail "the run does not end after Cancel"
status=$(e2e_wait_any_text "$wid" "$E2E_STATUS" 30 "Installation was cancelled" "Success") \
  || e2e_fail "the ended run shows neither the cancel text nor its success"
case "$status" in
  *"Installation was cancelled"*) ;;
  *) e2e_fail "the cancel was lost: the run went on to its end and shows '$status'" ;;
esac
e2e_screenshot "page-4-cancelled"
count=$(find "$cc" -type f 2>/dev/null | wc -l)
[ "$count" -eq 0 ] || e2e_fail "$count files of the cancelled task were installed"
e2e_until 10 test ! -e "$E2E_TEMP_ROOT" || e2e_fail "a cancelled run left $E2E_TEMP_ROOT"

e2e_expect_next_enabled "$wid" "Close is disabled"
e2e_click "$wid" $E2E_NEXT   # Close
e2e_wait_exit 0
echo PASS
