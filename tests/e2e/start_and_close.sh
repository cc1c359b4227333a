#!/usr/bin/env bash
# The real program in a real X server: its window, the single-instance rule, and the
# close button ending the program with exit code 0.
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
e2e_registry "$E2E_TMP/registry.reg"

e2e_start_app "$exe"
wid=$(e2e_wait_window "Vistrel Installer") || e2e_fail "no window titled 'Vistrel Installer'"
e2e_wait_window_placed "$wid" || e2e_fail "content is $(e2e_window_geometry "$wid"), expected 500 x 300 in place"

# Centred on the 1024 x 768 screen (the window manager's frame may shift it a little).
read -r ox oy < <(e2e_window_origin "$wid")
[ $((ox - 262)) -ge -10 ] && [ $((ox - 262)) -le 10 ] || e2e_fail "window not centred horizontally (x $ox)"
[ $((oy - 234)) -ge -30 ] && [ $((oy - 234)) -le 30 ] || e2e_fail "window not centred vertically (y $oy)"

# A second start hands over and exits at once with 0; the first carries on.
set +e
timeout 20 "$exe" >"$E2E_TMP/second.log" 2>&1
second=$?
set -e
[ "$second" = 0 ] || e2e_fail "second instance exited with $second"
kill -0 "$APP_PID" 2>/dev/null || e2e_fail "the first instance ended"
[ "$(xdotool search --onlyvisible --name '^Vistrel Installer$' | wc -l)" = 1 ] || e2e_fail "more than one installer window"

# The close button (the window manager sends WM_DELETE_WINDOW).
e2e_close_window "$wid" 0
echo "PASS"
