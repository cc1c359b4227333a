#!/usr/bin/env bash
# The real program in a real X server: its window, which keeps its size, the single-instance
# rule, and the close button ending the program with exit code 0.
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

# The window is not resizable: a size that the window system gives it is undone. A move of
# the whole window stays, and a size given after it is undone there. Each check first waits
# for the X server to report the size it gave (xev), so that the window's own size, seen
# afterwards, is the size it took back.
sizes="$E2E_TMP/sizes.log"
stdbuf -oL xev -id "$wid" -event structure -event property >"$sizes" 2>&1 &
XEV_PID=$!
trap 'kill "$XEV_PID" 2>/dev/null || true; e2e_cleanup' EXIT
# xev reports once it listens: a property set on the window (again at each look) reaches it.
watching() {
  xprop -id "$wid" -f _HF_E2E_WATCH 8s -set _HF_E2E_WATCH listening
  grep -q '_HF_E2E_WATCH' "$sizes"
}
e2e_until 30 watching || e2e_fail "xev does not report the window's events"
# The sizes reported so far, one "W H" a line.
reported() { { grep -o 'width [0-9]*, height [0-9]*' "$sizes" || true; } | awk '{ print $2 + 0, $4 + 0 }'; }
# resize_from_outside W H: gives the window that size and waits until the X server reports
# a size other than 500 x 300 for it.
resize_from_outside() {
  local before
  before=$(reported | wc -l)
  xdotool windowsize "$wid" "$1" "$2"
  reported_since() { reported | tail -n +$((before + 1)); }
  given() { reported_since | grep -qv '^500 300$'; }
  e2e_until 30 given || e2e_fail "the window system gave no other size for $1 x $2: $(reported_since | tr '\n' ';')"
  e2e_log "the window system gave the size $(reported_since | grep -v '^500 300$' | head -n 1)"
}

read -r cx cy < <(e2e_window_origin "$wid")
resize_from_outside 128 128
e2e_until 30 e2e_window_is_at "$wid" "500 300 at $cx $cy" || e2e_fail "a resize by the window system stays: $(e2e_window_geometry "$wid")"
xdotool windowmove "$wid" 100 100
moved_away() { ! e2e_window_is_at "$wid" "500 300 at $cx $cy" && e2e_window_is_placed "$wid"; }
e2e_until 30 moved_away || e2e_fail "a move does not stay: $(e2e_window_geometry "$wid")"
moved=$(e2e_window_geometry "$wid")
resize_from_outside 1 1
e2e_until 30 e2e_window_is_at "$wid" "$moved" || e2e_fail "the window keeps a size of 1 x 1: $(e2e_window_geometry "$wid")"
e2e_stays 1 e2e_window_is_at "$wid" "$moved" || e2e_fail "the window does not keep its place: $(e2e_window_geometry "$wid")"

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
