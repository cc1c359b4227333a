#!/usr/bin/env bash
# A ticked folder on a volume too small for the payload: the "Not enough disk space" box on
# entering the folder page, again at every refresh while it persists, and "Install" disabled.
source "$(dirname "$0")/lib.sh"
exe=$1

e2e_start_x
small="$E2E_TMP/small"
mkdir -p "$small"
if ! mount -t tmpfs -o size=1m tmpfs "$small" 2>/dev/null; then
  echo "SKIP: this test mounts a 1 MB tmpfs, which needs root (or CAP_SYS_ADMIN)"
  exit 77
fi
trap 'umount "$small" 2>/dev/null; e2e_cleanup' EXIT
mkdir -p "$small/Plug-ins" "$E2E_TMP/big/Plug-ins"
e2e_registry "$E2E_TMP/registry.reg" 11 "$E2E_TMP/big/Plug-ins" 12 "$small/Plug-ins"

e2e_open_licence_page "$exe"
e2e_click "$wid" $E2E_NEXT   # I Accept: the folder page refreshes, with the box
e2e_dismiss_box "Not enough disk space" "not enough free disk space"
e2e_expect_next_disabled "$wid" "Install enabled"

# Unticking the big folder refreshes: the small one still lacks the space.
e2e_click "$wid" $(e2e_tick_box 0)
e2e_dismiss_box "Not enough disk space" "not enough free disk space"
e2e_expect_next_disabled "$wid" "Install enabled"

# Only the big folder: the run can go. The sign of that refresh is "Install" enabled with
# the size of one folder; the box would have come before it.
e2e_click "$wid" $(e2e_tick_box 0)
e2e_dismiss_box "Not enough disk space" "not enough free disk space"
e2e_click "$wid" $(e2e_tick_box 1)
e2e_expect_next_enabled "$wid" "Install disabled with enough space"
E2E_OCR_CHARS="0123456789MB" e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "2MB" || e2e_fail "one folder: not 2MB"
e2e_expect_no_window "Not enough disk space"

e2e_close_window "$wid" 0
echo PASS
