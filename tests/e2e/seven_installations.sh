#!/usr/bin/env bash
# Seven discovered installations, every version key: the list scrolls, and every row's
# status shows whole beside the scroll bar. The first and the last folder hold a newer
# plug-in, so both rows end in the long status "(DOWNGRADE)". A screenshot of the page
# scrolled to its end is kept for the README.
source "$(dirname "$0")/lib.sh"
exe=$1
maker=${2:-}
if [ -z "$maker" ]; then echo "SKIP: this build packs a payload of its own, no stand-in plug-in maker"; exit 77; fi

e2e_start_x
args=()
folders=()
for pair in "10.0:CS5" "10.5:CS5.5" "11:CS6" "12:CC" "13:CC 2014" "13.5:CC 2015" "13.8:CC 2015.3"; do
  folder="$E2E_TMP/Adobe After Effects ${pair#*:}/Support Files/Plug-ins"
  mkdir -p "$folder"
  args+=("${pair%%:*}" "$folder")
  folders+=("$folder")
done
for newer in "${folders[0]}" "${folders[6]}"; do
  mkdir -p "$newer/Hollowfen/Vistrel"
  "$maker" "$newer/Hollowfen/Vistrel/Vistrel.aex" 2.0.1
done
e2e_registry "$E2E_TMP/registry.reg" "${args[@]}"

# One row of the list (22 pixels high, from 0) as the viewport shows it, scroll bar included.
row_region() { echo "190 $((48 + 22 * $1)) 292 22"; }

e2e_open_folder_page "$exe"
e2e_wait_text "$wid" "$(row_region 0)" "CS5 (DOWNGRADE)" || e2e_fail "the first row's status is not whole"

# The wheel over the list scrolls it to its end: 7 rows and the blank below them, 198
# pixels, in a viewport 132 high. The last row then stands where the fourth was; no other
# row with a DOWNGRADE can stand there.
e2e_point_at "$wid" 300 100
xdotool click --repeat 6 --delay 50 5
text=$(e2e_wait_any_text "$wid" "$(row_region 3)" 30 "DOWNGRADE)") || e2e_fail "the last row's status is not whole"
case "$text" in *"2015"*) ;; *) e2e_fail "the last row reads '$text'" ;; esac
e2e_screenshot "page-3-folders-seven"

e2e_close_window "$wid" 0
echo PASS
