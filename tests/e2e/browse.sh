#!/usr/bin/env bash
# "Browse" through the real folder chooser: a folder beside a "Plug-ins" folder adds that
# folder as "Custom location"; the discovered installation's root gives "Already listed";
# a folder without After Effects gives "After Effects not found".
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
cc="$E2E_TMP/AE/CC/Support Files/Plug-ins"
# The installation's root holds more than "Support Files", as a real one does (and as the
# folder chooser needs to pick the root itself, not its one child).
mkdir -p "$cc" "$E2E_TMP/AE/CC/Legal" "$E2E_TMP/Other/Install" "$E2E_TMP/Other/Plug-ins" "$E2E_TMP/Empty/Folder"
e2e_registry "$E2E_TMP/registry.reg" 12 "$cc"

e2e_open_folder_page "$exe"

e2e_click "$wid" $E2E_BROWSE
e2e_choose_folder "$E2E_TMP/Other/Install"
e2e_wait_text "$wid" "$E2E_LIST" "Custom location" || e2e_fail "no custom record"
# The path line is small: OCR reads its "l" as "i" or "I" now and then.
e2e_wait_any_text "$wid" "$E2E_LIST" 30 "Other/Plug-ins" "Other/Piug-ins" "Other/PIug-ins" >/dev/null \
  || e2e_fail "the custom record shows no path"
e2e_screenshot "page-3-folders-browsed"

e2e_click "$wid" $E2E_BROWSE
e2e_choose_folder "$E2E_TMP/AE/CC"
e2e_dismiss_box "Already listed" "already listed"

e2e_click "$wid" $E2E_BROWSE
e2e_choose_folder "$E2E_TMP/Empty/Folder"
e2e_dismiss_box "After Effects not found" "does not contain an After Effects installation"

# Both folders are ticked: installing puts the plug-in into each.
e2e_click "$wid" $E2E_NEXT
e2e_wait_text "$wid" "$E2E_SUCCESS" "Success" 60 || e2e_fail "no success"
[ -f "$cc/Hollowfen/Vistrel/Vistrel.aex" ] || e2e_fail "not installed into the discovered folder"
[ -f "$E2E_TMP/Other/Plug-ins/Hollowfen/Vistrel/Vistrel.aex" ] || e2e_fail "not installed into the browsed folder"
e2e_click "$wid" $E2E_NEXT
e2e_wait_exit 0
echo PASS
