# Shared helpers of the end-to-end tests: a real X server (Xvfb) with a window manager,
# the installer started for real, and real input events through xdotool.
#
# Every check that reads the screen waits for the state it expects, with a deadline: a
# window repaints some time after the click, key or box that changed it. A check that
# something does not show first waits for the sign that comes with it (a button's disabled
# look, a label's new text), then confirms that it stays for a short settle time.
set -euo pipefail

# tesseract's OpenMP threads spin while they wait for each other: on a busy machine one
# read took 30 s instead of 0.3 s. One thread reads as well here.
export OMP_THREAD_LIMIT=1

E2E_TMP=""
XVFB_PID=""
WM_PID=""
APP_PID=""
E2E_NAME=$(basename "$0" .sh)

# Microseconds since the epoch, for deadlines (whatever the locale's decimal point), and
# a number of seconds (such as 1.5) in microseconds.
e2e_now() { echo "${EPOCHREALTIME//[.,]/}"; }
e2e_us() { awk -v s="$1" 'BEGIN { printf "%d", s * 1000000 }'; }

# e2e_until SECONDS COMMAND...: runs the command until it succeeds; false once the deadline
# has passed.
e2e_until() {
  local seconds=$1 deadline
  shift
  deadline=$(( $(e2e_now) + $(e2e_us "$seconds") ))
  until "$@"; do
    [ "$(e2e_now)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# e2e_stays SECONDS COMMAND...: true when the command succeeds at every look for that long
# (one look at least every 0.2 s, five at the least).
e2e_stays() {
  local seconds=$1 deadline looks=0
  shift
  deadline=$(( $(e2e_now) + $(e2e_us "$seconds") ))
  while [ "$looks" -lt 5 ] || [ "$(e2e_now)" -lt "$deadline" ]; do
    "$@" || return 1
    looks=$((looks + 1))
    sleep 0.2
  done
}

# Fails the test: a screenshot of the whole screen at the failure, its path and the
# installer's output go to the log.
e2e_fail() {
  local shot
  echo "FAIL: $*" >&2
  if [ -n "${DISPLAY:-}" ] && shot=$(e2e_failure_screenshot); then
    echo "screenshot of the screen at the failure: $shot" >&2
  fi
  if [ -n "$E2E_TMP" ] && [ -s "$E2E_TMP/app.log" ]; then
    echo "--- the installer's output:" >&2
    tail -n 20 "$E2E_TMP/app.log" >&2
  elif [ -n "$E2E_TMP" ] && [ -e "$E2E_TMP/app.log" ]; then
    echo "--- the installer wrote no output" >&2
  fi
  exit 1
}
e2e_log() { echo "[$(date +%H:%M:%S)] $*"; }

# Saves the whole screen under the screenshot folder's failures/ (or the system's temporary
# folder /tmp), in a file of its own; prints its path.
e2e_failure_screenshot() {
  local dir shot
  dir="${E2E_SCREENSHOTS:-/tmp}/failures"
  mkdir -p "$dir" || return 1
  shot=$(mktemp "$dir/$E2E_NAME-$(date +%Y%m%d-%H%M%S)-XXXXXX.png") || return 1
  import -window root "$shot" 2>/dev/null || return 1
  chmod 644 "$shot"
  echo "$shot"
}

e2e_cleanup() {
  set +e
  e2e_unslow_app
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
  e2e_remove_cgroup
  # Waited for, so that the display's lock and sockets are gone before the next test.
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null && wait "$WM_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  [ -n "$E2E_TMP" ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$E2E_TMP"
}

# Starts Xvfb on a free display and a window manager, so windows get real title bars
# and the close request travels as WM_DELETE_WINDOW, as it does on a desktop. The server
# picks the display itself (-displayfd), so two runs never take the same one. It does not
# reset when its last client leaves (-noreset): a reset after the first check's
# disconnection refused the window manager's connection now and then.
e2e_start_x() {
  E2E_TMP=$(mktemp -d /tmp/hf-e2e.XXXXXX)
  trap e2e_cleanup EXIT
  # The installers of this test keep their temporary root in a folder of the test's own.
  mkdir -m 700 "$E2E_TMP/tmp"
  export TMPDIR="$E2E_TMP/tmp"
  E2E_TEMP_ROOT="$TMPDIR/HfVistrelInstaller"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
  XVFB_PID=$!
  e2e_until 30 e2e_display_announced
  [ -s "$E2E_TMP/display" ] || e2e_fail "no X display could be started: $(cat "$E2E_TMP/xvfb.log")"
  export DISPLAY=":$(head -n 1 "$E2E_TMP/display")"
  e2e_until 30 xdpyinfo >/dev/null 2>&1 || e2e_fail "the X display $DISPLAY does not answer"
  openbox >"$E2E_TMP/wm.log" 2>&1 &
  WM_PID=$!
  # The window manager is there once it has announced itself on the root window.
  e2e_until 30 e2e_wm_settled
  e2e_wm_running || e2e_fail "the window manager did not start on $DISPLAY: $(cat "$E2E_TMP/wm.log")"
}
e2e_display_announced() { [ -s "$E2E_TMP/display" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; }
e2e_wm_running() { kill -0 "$WM_PID" 2>/dev/null && wmctrl -m >/dev/null 2>&1; }
e2e_wm_settled() { e2e_wm_running || ! kill -0 "$WM_PID" 2>/dev/null; }

# e2e_registry FILE [VERSION FOLDER]... writes a .reg file naming plug-in folders and makes
# it the registry of the installers started afterwards.
e2e_registry() {
  local file=$1; shift
  export HF_REGISTRY_FILE="$file"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    while [ $# -ge 2 ]; do
      printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Adobe\\After Effects\\%s]\r\n"PluginInstallPath"="%s"\r\n\r\n' "$1" "${2//\\/\\\\}"
      shift 2
    done
  } >"$file"
}

# Starts the installer in the background; its exit status is read by e2e_wait_exit.
e2e_start_app() {
  local exe=$1
  "$exe" >"$E2E_TMP/app.log" 2>&1 &
  APP_PID=$!
}

# A window title as a regular expression that matches exactly that title.
e2e_title_regex() {
  printf '^%s$' "$(printf '%s' "$1" | sed 's/[][\\.^$*+?(){}|]/\\&/g')"
}

# The pages, each known by a text it shows in the wizard's area (170 0 330 260).
E2E_PAGE_AREA="170 0 330 260"
E2E_WELCOME_TEXT="This will install Vistrel 1.3.2"
E2E_LICENCE_TEXT="DISCLAIMER OF WARRANTIES"
E2E_FOLDERS_TEXT="Select your After Effects installation"

# e2e_wait_page WID TEXT [SECONDS]: waits until the wizard shows the page with that text.
e2e_wait_page() {
  E2E_OCR_CHARS="" e2e_wait_text "$1" "$E2E_PAGE_AREA" "$2" "${3:-30}"
}

# Starts the installer and waits for its welcome page. Sets wid.
e2e_open_welcome_page() {
  e2e_start_app "$1"
  wid=$(e2e_wait_window "Vistrel Installer") || e2e_fail "no installer window"
  e2e_wait_window_placed "$wid" || e2e_fail "the window is not 500 x 300 in place: $(e2e_window_geometry "$wid")"
  e2e_wait_page "$wid" "$E2E_WELCOME_TEXT" || e2e_fail "no welcome page"
}

# Starts the installer and goes on to the licence page. Sets wid.
e2e_open_licence_page() {
  e2e_open_welcome_page "$1"
  e2e_click "$wid" $E2E_NEXT
  e2e_wait_page "$wid" "$E2E_LICENCE_TEXT" || e2e_fail "Next did not show the licence"
}

# Starts the installer and goes on to the folder page: "Next", then "I Accept", each once
# the page it belongs to shows. Sets wid.
e2e_open_folder_page() {
  e2e_open_licence_page "$1"
  e2e_click "$wid" $E2E_NEXT
  e2e_wait_page "$wid" "$E2E_FOLDERS_TEXT" || e2e_fail "I Accept did not show the folder page"
}

# Waits for a top-level window with exactly this title; prints its id.
e2e_wait_window() {
  local title=$1 timeout=${2:-30}
  e2e_until "$timeout" e2e_find_window "$title" >/dev/null || return 1
  e2e_find_window "$title"
}
e2e_find_window() {
  local id
  id=$(xdotool search --onlyvisible --name "$(e2e_title_regex "$1")" 2>/dev/null | head -n 1 || true)
  [ -n "$id" ] && echo "$id"
}
e2e_no_window() { ! e2e_find_window "$1" >/dev/null; }

e2e_window_gone() {
  e2e_until "${2:-30}" e2e_no_window "$1"
}

# e2e_expect_no_window TITLE [SECONDS]: no such window shows for a settle time. Call it
# once the window has shown the sign of the state in which the window would have come.
e2e_expect_no_window() {
  e2e_stays "${2:-1.5}" e2e_no_window "$1" || e2e_fail "a window '$1' is shown"
}

# Client-area origin of a window: "X Y".
e2e_window_origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'
}

e2e_window_size() {
  xwininfo -id "$1" | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h}'
}

e2e_window_geometry() {
  echo "$(e2e_window_size "$1") at $(e2e_window_origin "$1")"
}
e2e_window_is_at() { [ "$(e2e_window_geometry "$1")" = "$2" ]; }

# The main window has its 500 x 300 content and stays where it is: the window manager has
# placed it, so that the points of the content are where the clicks go.
e2e_wait_window_placed() {
  local wid=$1
  e2e_until 30 e2e_window_is_placed "$wid"
}
e2e_window_is_placed() {
  local first
  first=$(e2e_window_geometry "$1")
  case "$first" in "500 300 at "*) ;; *) return 1 ;; esac
  sleep 0.2
  [ "$(e2e_window_geometry "$1")" = "$first" ]
}

# Moves the pointer to a point of the main window's 500 x 300 content.
e2e_point_at() {
  local wid=$1 x=$2 y=$3 ox oy
  read -r ox oy < <(e2e_window_origin "$wid")
  # mousemove --sync waits for the pointer to move, so it must not be asked to stay put: a
  # pointer already there steps aside first. Either way the window under it sees it arrive,
  # also where a box that stood there has just gone.
  if [ "$(xdotool getmouselocation | awk '{print $1, $2}')" = "x:$((ox + x)) y:$((oy + y))" ]; then
    xdotool mousemove --sync $((ox + x + 1)) $((oy + y))
  fi
  xdotool mousemove --sync $((ox + x)) $((oy + y))
}

# Clicks at a point of the content. The pause after it outlasts the double-click interval
# (400 ms), within which the wizard takes a forward click after a page change for the
# second click of a double click; it is no wait for the click's effect.
e2e_click() {
  e2e_point_at "$@"
  xdotool click 1
  sleep "${E2E_CLICK_PAUSE:-0.6}"
}

# Double-clicks at a point of the content: two clicks 80 ms apart.
e2e_double_click() {
  e2e_point_at "$@"
  xdotool click --repeat 2 --delay 80 1
  sleep "${E2E_CLICK_PAUSE:-0.6}"
}

e2e_app_ended() { ! kill -0 "$APP_PID" 2>/dev/null; }

# Waits for the installer to exit; checks its exit code.
e2e_wait_exit() {
  local expected=${1:-0} timeout=${2:-30} status
  e2e_until "$timeout" e2e_app_ended || e2e_fail "installer did not exit within ${timeout}s"
  set +e; wait "$APP_PID"; status=$?; set -e
  APP_PID=""
  e2e_remove_cgroup
  [ "$status" = "$expected" ] || e2e_fail "installer exited with $status, expected $expected"
}

# Closes the main window through the window manager (one close request, as a user's click
# on the close button makes) and waits for the installer to exit with the code given.
e2e_close_window() {
  local wid=$1 expected=${2:-0}
  wmctrl -i -c "$wid" 2>/dev/null || e2e_fail "the window manager took no close request"
  e2e_wait_exit "$expected" "${3:-30}"
}

# Saves a screenshot of the whole screen under the build's screenshot folder.
e2e_screenshot() {
  local name=$1 dir=${E2E_SCREENSHOTS:-}
  [ -n "$dir" ] || return 0
  mkdir -p "$dir"
  import -window root "$dir/$name.png"
}

# Reads a region of the screen (absolute, relative to the window's content) as text.
e2e_read_text() {
  local wid=$1 x=$2 y=$3 w=$4 h=$5 ox oy
  read -r ox oy < <(e2e_window_origin "$wid")
  import -window root -crop "${w}x${h}+$((ox + x))+$((oy + y))" +repage -colorspace Gray -negate -resize 400% "$E2E_TMP/ocr.png"
  if [ -n "${E2E_OCR_CHARS:-}" ]; then
    tesseract "$E2E_TMP/ocr.png" - --psm 7 -c tessedit_char_whitelist="$E2E_OCR_CHARS" 2>/dev/null | tr -d '\f' | head -n 1
  else
    tesseract "$E2E_TMP/ocr.png" - --psm 6 2>/dev/null | tr -d '\f' | tr '\n' ' '
  fi
}

# Positions in the main window's 500 x 300 content.
E2E_PREVIOUS="382 279"
E2E_NEXT="457 279"
E2E_BROWSE="402 205"
# The n-th tick box of the folder list (from 0), and its box alone.
e2e_tick_box() { echo "250 $((48 + 22 * $1 + 11))"; }
e2e_tick_square() { echo "186 $((48 + 22 * $1)) 24 22"; }
# The list, the required size label (its visible part) and the progress page's texts.
E2E_LIST="190 48 292 132"
E2E_REQUIRED_SIZE="452 237 48 24"
E2E_STATUS="181 118 310 44"
E2E_SUCCESS="191 117 290 24"
E2E_DETAILS="190 163 292 95"

# e2e_wait_text WID "X Y W H" TEXT [SECONDS]: waits until the OCR of the region contains
# the text. Prints nothing; on failure says what it read last.
e2e_wait_text() {
  e2e_wait_any_text "$1" "$2" "${4:-30}" "$3" >/dev/null
}

# e2e_wait_any_text WID "X Y W H" SECONDS TEXT...: waits until the OCR of the region
# contains one of the texts; prints what it read.
e2e_wait_any_text() {
  local wid=$1 region=$2 timeout=$3
  shift 3
  E2E_READ=""
  if e2e_until "$timeout" e2e_region_reads_one_of "$wid" "$region" "$@"; then
    echo "$E2E_READ"
    return 0
  fi
  echo "read '$E2E_READ', wanted one of: $*" >&2
  return 1
}

# What the last read saw, for the message of a wait that ended without it.
E2E_READ=""

# e2e_region_reads_one_of WID "X Y W H" TEXT...: one read of the region contains one of the texts.
e2e_region_reads_one_of() {
  local wid=$1 region=$2 wanted
  shift 2
  # shellcheck disable=SC2086
  E2E_READ=$(e2e_read_text "$wid" $region)
  for wanted in "$@"; do
    case "$E2E_READ" in *"$wanted"*) return 0 ;; esac
  done
  return 1
}

# e2e_expect_text_stays WID "X Y W H" TEXT [SECONDS]: the region shows the text at every
# look for a settle time.
e2e_expect_text_stays() {
  e2e_stays "${4:-1.5}" e2e_text_is_there "$1" "$2" "$3" || e2e_fail "'$3' did not stay"
}
e2e_text_is_there() {
  local text
  # shellcheck disable=SC2086
  text=$(e2e_read_text "$1" $2)
  case "$text" in *"$3"*) return 0 ;; esac
  echo "read '$text', wanted '$3'" >&2
  return 1
}

# A checksum of what a region of the content shows, to wait for it to change.
e2e_region_sum() {
  local wid=$1 x=$2 y=$3 w=$4 h=$5 ox oy
  read -r ox oy < <(e2e_window_origin "$wid")
  import -window root -crop "${w}x${h}+$((ox + x))+$((oy + y))" +repage rgb:- | md5sum | cut -d' ' -f1
}

# e2e_wait_region_change WID "X Y W H" SUM [SECONDS]: waits until the region no longer shows
# what it showed when the sum was taken.
e2e_wait_region_change() {
  e2e_until "${4:-30}" e2e_region_differs "$1" "$2" "$3"
}
e2e_region_differs() {
  # shellcheck disable=SC2086
  [ "$(e2e_region_sum "$1" $2)" != "$3" ]
}

# e2e_toggle_tick WID N: clicks the n-th tick box and waits until the box shows its new state.
e2e_toggle_tick() {
  local wid=$1 n=$2 before
  # shellcheck disable=SC2046
  before=$(e2e_region_sum "$wid" $(e2e_tick_square "$n"))
  # shellcheck disable=SC2046
  e2e_click "$wid" $(e2e_tick_box "$n")
  e2e_wait_region_change "$wid" "$(e2e_tick_square "$n")" "$before" \
    || e2e_fail "tick box $n does not show its click"
}

# The brightest grey level in a region of the content (0..255): a disabled button's text is dimmer.
e2e_brightest() {
  local wid=$1 x=$2 y=$3 w=$4 h=$5 ox oy
  read -r ox oy < <(e2e_window_origin "$wid")
  import -window root -crop "${w}x${h}+$((ox + x))+$((oy + y))" +repage -colorspace Gray -format '%[fx:int(255*maxima)]' info:
}

# Whether the forward button looks enabled (its text drawn at full strength) or disabled.
e2e_next_looks_enabled() { [ "$(e2e_brightest "$1" 430 272 54 14)" -ge 170 ]; }
e2e_next_looks_disabled() { ! e2e_next_looks_enabled "$1"; }

# e2e_expect_next_enabled WID WHAT: waits until the forward button looks enabled.
e2e_expect_next_enabled() {
  e2e_until "${E2E_BUTTON_TIMEOUT:-30}" e2e_next_looks_enabled "$1" || e2e_fail "$2"
}

# e2e_expect_next_disabled WID WHAT: waits until the forward button looks disabled, then
# confirms that it stays so for a settle time.
e2e_expect_next_disabled() {
  e2e_until "${E2E_BUTTON_TIMEOUT:-30}" e2e_next_looks_disabled "$1" || e2e_fail "$2"
  e2e_stays 1 e2e_next_looks_disabled "$1" || e2e_fail "$2 (the button became enabled again)"
}

# ls-style check that an installed file carries the installer's access-control list.
e2e_check_acl() {
  local file=$1 acl
  acl=$(getfacl -cp "$file" 2>/dev/null | sort | tr '\n' ' ')
  for want in "group:root:rwx" "other::r-x" "mask::rwx" "user::r-x" "group::r-x"; do
    case " $acl" in *" $want "*) ;; *) e2e_fail "ACL of $file is '$acl', lacks $want" ;; esac
  done
}

# The text that a whole window (a message box) shows, read from the screen.
e2e_read_window_text() {
  local id=$1
  import -window "$id" -colorspace Gray -resize 300% "$E2E_TMP/box.png"
  tesseract "$E2E_TMP/box.png" - --psm 6 2>/dev/null | tr -d '\f' | tr '\n' ' '
}

# e2e_wait_window_text TITLE TEXT [SECONDS]: waits until the window of that title shows the
# text; prints what it read.
e2e_wait_window_text() {
  local title=$1 wanted=$2 timeout=${3:-30}
  E2E_READ=""
  if e2e_until "$timeout" e2e_window_reads "$title" "$wanted"; then
    echo "$E2E_READ"
    return 0
  fi
  echo "the window '$title' reads '$E2E_READ', wanted '$wanted'" >&2
  return 1
}
e2e_window_reads() {
  local id
  id=$(e2e_find_window "$1") || return 1
  E2E_READ=$(e2e_read_window_text "$id" 2>/dev/null || true)
  case "$E2E_READ" in *"$2"*) return 0 ;; esac
  return 1
}

# Picks a folder in the folder chooser (zenity's dialog): its location entry (ctrl+L), the
# folder's path with a trailing slash, then one Return. Every key goes to the chooser's own
# window, only while it has the keyboard focus: a key that reached the installer's window
# would press its focused button ("Browse").
#
# The entry completes a path inline, and a Return takes the completion: for a folder typed
# with a trailing slash it adds the start that the names of its children share (a folder
# whose one child is "Support Files" gives ".../Support Files/"). The completion shows
# selected, in GTK's blue: the check below fails where one comes, so the folders picked
# here have no child or several.
e2e_choose_folder() {
  local folder=$1 chooser base framed
  chooser=$(e2e_wait_window "Choose a directory..." 60) || e2e_fail "no folder chooser"
  # The dialog takes typing once it is drawn; its buttons are drawn last.
  e2e_wait_window_text "Choose a directory..." "Cancel" 60 >/dev/null || e2e_fail "the folder chooser is not drawn"
  e2e_until 30 e2e_focus_on "$chooser" || e2e_fail "the folder chooser does not take the keyboard focus"
  base=$(e2e_chooser_blue "$chooser")
  e2e_keys_to "$chooser" key --clearmodifiers ctrl+l
  # The entry is there once its focused frame is drawn and holds still.
  e2e_until 30 e2e_chooser_blue_settled "$chooser" "$base" || e2e_fail "the folder chooser shows no location entry"
  framed=$E2E_READ
  e2e_keys_to "$chooser" type --delay 20 "$folder/"
  e2e_stays 2 e2e_chooser_blue_at_most "$chooser" "$framed" \
    || e2e_fail "the folder chooser's entry completed $folder/ (a folder with one child, or a name that others begin with)"
  e2e_keys_to "$chooser" key Return
  e2e_window_gone "Choose a directory..." || e2e_fail "the folder chooser stays open"
}

# The number of pixels of the chooser's top strip, right of its side bar, that are drawn in
# the blue of GTK's focus and selection: the location entry's frame, and a completion.
e2e_chooser_blue() {
  local id=$1 width
  width=$(xwininfo -id "$id" | awk '/Width:/ {print $NF}')
  import -window "$id" -crop "$((width - 220))x60+200+0" +repage rgb:- 2>/dev/null \
    | convert -size "$((width - 220))x60" -depth 8 rgb:- -fx '(b > r + 0.3 && b > g + 0.15) ? 1 : 0' \
              -format '%[fx:int(mean * w * h + 0.5)]' info:
}
# e2e_chooser_blue_settled WINDOW COUNT: more blue than COUNT, the same at two looks 0.2 s
# apart; sets E2E_READ to it.
e2e_chooser_blue_settled() {
  local first second
  first=$(e2e_chooser_blue "$1")
  sleep 0.2
  second=$(e2e_chooser_blue "$1")
  [ "$first" = "$second" ] && [ "$second" -gt "$2" ] || return 1
  E2E_READ=$second
}
e2e_chooser_blue_at_most() { [ "$(e2e_chooser_blue "$1")" -le "$2" ]; }

# Whether the window has the keyboard focus; if not, it is activated for the next look.
e2e_focus_on() {
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
  xdotool windowactivate "$1" >/dev/null 2>&1 || true
  return 1
}

# e2e_keys_to WINDOW XDOTOOL-ARGS...: sends keys (xdotool key or type) while that window has
# the keyboard focus; fails the test where another window has it.
e2e_keys_to() {
  local id=$1 focus
  shift
  focus=$(xdotool getwindowfocus 2>/dev/null || true)
  [ "$focus" = "$id" ] || e2e_fail "the keyboard focus is on window $focus, not on $id, for: xdotool $*"
  xdotool "$@"
}

# Waits for a message box with this title, waits until it shows the text, and presses OK.
e2e_dismiss_box() {
  local title=$1 wanted=$2
  e2e_wait_window "$title" >/dev/null || e2e_fail "no box titled '$title'"
  e2e_wait_window_text "$title" "$wanted" >/dev/null || e2e_fail "the box '$title' does not read '$wanted'"
  e2e_screenshot "box-$(echo "$title" | tr ' A-Z' '-a-z')"
  e2e_key_in "$title" Return
  e2e_window_gone "$title" || e2e_fail "the box '$title' did not close"
}

# e2e_downgrade_question WID INSTALLED NEWER PAYLOAD SHOT [SECONDS]: "Install" asks before
# a downgrade. Cancel (Escape) keeps the folder page and the newer plug-in at INSTALLED (a
# copy of it is NEWER); asked again, OK (Return) installs PAYLOAD and shows the success.
e2e_downgrade_question() {
  local wid=$1 installed=$2 newer=$3 payload=$4 shot=$5 timeout=${6:-30}
  e2e_click "$wid" $E2E_NEXT
  e2e_wait_window_text "Are you sure?" "do you really want to downgrade" "$timeout" >/dev/null || e2e_fail "no downgrade question"
  e2e_screenshot "$shot"
  e2e_key_in "Are you sure?" Escape
  e2e_window_gone "Are you sure?" || e2e_fail "the question did not close"
  # Cancel: the folder page stays, and nothing is installed.
  E2E_OCR_CHARS="0123456789MB" e2e_wait_text "$wid" "$E2E_REQUIRED_SIZE" "1MB" || e2e_fail "left the folder page"
  e2e_expect_text_stays "$wid" "$E2E_PAGE_AREA" "$E2E_FOLDERS_TEXT"
  cmp -s "$installed" "$newer" || e2e_fail "Cancel still installed"

  e2e_click "$wid" $E2E_NEXT
  e2e_wait_window "Are you sure?" "$timeout" >/dev/null || e2e_fail "no downgrade question the second time"
  e2e_key_in "Are you sure?" Return
  e2e_wait_text "$wid" "$E2E_SUCCESS" "Success" 60 || e2e_fail "no success after OK"
  cmp -s "$installed" "$payload" || e2e_fail "OK did not install"
}

# Presses a key in the window with this title (looked up afresh: JUCE may re-create a box's window).
e2e_key_in() {
  local title=$1 key=$2 id
  id=$(e2e_wait_window "$title" 10) || e2e_fail "no window '$title' for the key $key"
  xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers "$key"
}

# ---------------------------------------------------------------------------------------
# A slower machine: the installer's process held to a share of one core, so that a run
# lasts long enough to be cancelled or closed whatever this machine's speed. Where the
# test may make a cgroup of its own it gets a CPU quota there; otherwise the process is
# stopped and continued in turn. E2E_SLOW_HOW says which.
E2E_CGROUP=""
E2E_THROTTLE_PID=""
E2E_SLOW_HOW=""
E2E_CPU_TURNED_ON=""

# e2e_slow_app PERCENT: from now on the installer gets that share of one core (1 to 99).
# Answers 1 only where this machine can neither give it a cgroup nor stop it; an installer
# whose process has ended fails the test.
e2e_slow_app() {
  local percent=$1 base dir
  [ -n "$APP_PID" ] || e2e_fail "no installer to slow down"
  e2e_expect_app_running "before it could be slowed"
  for base in /sys/fs/cgroup /sys/fs/cgroup/unified; do
    [ -f "$base/cgroup.controllers" ] && grep -qw cpu "$base/cgroup.controllers" || continue
    if ! grep -qw cpu "$base/cgroup.subtree_control" 2>/dev/null; then
      # Turned on for this test only: e2e_remove_cgroup turns it off again.
      echo +cpu >"$base/cgroup.subtree_control" 2>/dev/null || continue
      E2E_CPU_TURNED_ON="$base"
    fi
    if dir=$(mktemp -d "$base/hf-e2e.XXXXXX" 2>/dev/null); then
      if echo "$((percent * 1000)) 100000" >"$dir/cpu.max" 2>/dev/null && echo "$APP_PID" >"$dir/cgroup.procs" 2>/dev/null; then
        E2E_CGROUP=$dir E2E_SLOW_HOW="a CPU quota of $percent% (cgroup v2)"
        return 0
      fi
      rmdir "$dir" 2>/dev/null
    fi
    e2e_restore_cpu_controller
  done
  base=/sys/fs/cgroup/cpu
  if [ -f "$base/cpu.cfs_quota_us" ] && dir=$(mktemp -d "$base/hf-e2e.XXXXXX" 2>/dev/null); then
    if echo 100000 >"$dir/cpu.cfs_period_us" 2>/dev/null && echo "$((percent * 1000))" >"$dir/cpu.cfs_quota_us" 2>/dev/null \
       && echo "$APP_PID" >"$dir/cgroup.procs" 2>/dev/null; then
      E2E_CGROUP=$dir E2E_SLOW_HOW="a CPU quota of $percent% (cgroup v1)"
      return 0
    fi
    rmdir "$dir" 2>/dev/null
  fi
  # A process that has ended cannot be moved into a cgroup either.
  e2e_expect_app_running "while it was being slowed"
  # Stopped for the rest of each tenth of a second.
  local pid=$APP_PID on off
  if ! kill -STOP "$pid" 2>/dev/null; then
    e2e_expect_app_running "while it was being slowed"
    return 1
  fi
  kill -CONT "$pid" 2>/dev/null
  on=$(printf '0.%03d' "$percent") off=$(printf '0.%03d' $((100 - percent)))
  ( trap 'kill -CONT "$pid" 2>/dev/null; exit 0' TERM
    while kill -STOP "$pid" 2>/dev/null; do
      sleep "$off"; kill -CONT "$pid" 2>/dev/null || break; sleep "$on"
    done ) &
  E2E_THROTTLE_PID=$!
  E2E_SLOW_HOW="stopping it for $((100 - percent))% of every 0.1 s"
}

# Fails the test, with the installer's exit status and output, where its process has ended.
e2e_expect_app_running() {
  local status
  e2e_app_ended || return 0
  set +e; wait "$APP_PID"; status=$?; set -e
  APP_PID=""
  e2e_fail "the installer's process has ended $1 (exit status $status)"
}

# Presses "Install" on the folder page with the installer held to 3% of one core, so that
# the run lasts long enough to be cancelled or closed. Skips the test (exit code 77) only
# where this machine can neither give the installer a cgroup nor stop its process.
e2e_install_slowly() {
  local wid=$1
  e2e_expect_app_running "before Install"
  e2e_expect_next_enabled "$wid" "Install is disabled"
  e2e_slow_app 3 || { echo "SKIP: this machine can neither give the installer a CPU quota nor stop its process"; exit 77; }
  e2e_log "the installer is slowed by $E2E_SLOW_HOW"
  E2E_CLICK_PAUSE=0.2 e2e_click "$wid" $E2E_NEXT
}

# The installer gets the whole core again (its cgroup goes once it has ended).
e2e_unslow_app() {
  if [ -n "$E2E_THROTTLE_PID" ]; then
    kill "$E2E_THROTTLE_PID" 2>/dev/null
    wait "$E2E_THROTTLE_PID" 2>/dev/null || true
    E2E_THROTTLE_PID=""
    [ -n "$APP_PID" ] && kill -CONT "$APP_PID" 2>/dev/null
  fi
  if [ -n "$E2E_CGROUP" ]; then
    if [ -f "$E2E_CGROUP/cpu.max" ]; then echo "max 100000" >"$E2E_CGROUP/cpu.max" 2>/dev/null
    else echo -1 >"$E2E_CGROUP/cpu.cfs_quota_us" 2>/dev/null; fi
  fi
  return 0
}

e2e_remove_cgroup() {
  local pid
  if [ -n "$E2E_CGROUP" ]; then
    # What still runs in it goes back to the parent; an empty cgroup can be removed.
    while read -r pid; do echo "$pid" >"$(dirname "$E2E_CGROUP")/cgroup.procs" 2>/dev/null; done <"$E2E_CGROUP/cgroup.procs" 2>/dev/null
    rmdir "$E2E_CGROUP" 2>/dev/null && E2E_CGROUP=""
  fi
  [ -n "$E2E_CGROUP" ] || e2e_restore_cpu_controller
  return 0
}

# Turns the CPU controller of the cgroup v2 root off again where this test turned it on.
e2e_restore_cpu_controller() {
  [ -n "$E2E_CPU_TURNED_ON" ] || return 0
  echo -cpu >"$E2E_CPU_TURNED_ON/cgroup.subtree_control" 2>/dev/null && E2E_CPU_TURNED_ON=""
  return 0
}
