# Shared helpers of the end-to-end tests: a real X server (Xvfb) with a window manager,
# the installer started for real, and real input events through xdotool.
set -euo pipefail

E2E_TMP=""
XVFB_PID=""
WM_PID=""
APP_PID=""

e2e_fail() {
  echo "FAIL: $*" >&2
  e2e_screenshot "failure" || true
  if [ -s "$E2E_TMP/app.log" ]; then echo "--- the installer's output:" >&2; tail -n 20 "$E2E_TMP/app.log" >&2; fi
  exit 1
}
e2e_log() { echo "[$(date +%H:%M:%S)] $*"; }

e2e_cleanup() {
  set +e
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
  # Waited for, so that the display's lock and sockets are gone before the next test.
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null && wait "$WM_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  [ -n "$E2E_TMP" ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$E2E_TMP"
}

# Starts Xvfb on a free display and a window manager, so windows get real title bars
# and the close request travels as WM_DELETE_WINDOW, as it does on a desktop. The server
# picks the display itself (-displayfd), so two runs never take the same one.
e2e_start_x() {
  E2E_TMP=$(mktemp -d /tmp/hf-e2e.XXXXXX)
  trap e2e_cleanup EXIT
  local i
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for i in $(seq 1 200); do
    [ -s "$E2E_TMP/display" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  [ -s "$E2E_TMP/display" ] || e2e_fail "no X display could be started: $(cat "$E2E_TMP/xvfb.log")"
  export DISPLAY=":$(head -n 1 "$E2E_TMP/display")"
  for i in $(seq 1 200); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  openbox >"$E2E_TMP/wm.log" 2>&1 &
  WM_PID=$!
  # The window manager is there once it has announced itself on the root window.
  for i in $(seq 1 200); do
    wmctrl -m >/dev/null 2>&1 && return 0
    kill -0 "$WM_PID" 2>/dev/null || break
    sleep 0.1
  done
  e2e_fail "the window manager did not start on $DISPLAY: $(cat "$E2E_TMP/wm.log")"
}

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

# Starts the installer and goes on to the folder page: "Next", then "I Accept". Sets wid.
e2e_open_folder_page() {
  e2e_start_app "$1"
  wid=$(e2e_wait_window "Vistrel Installer") || e2e_fail "no installer window"
  e2e_click "$wid" $E2E_NEXT
  e2e_click "$wid" $E2E_NEXT
}

# Waits for a top-level window with exactly this title; prints its id.
e2e_wait_window() {
  local title=$1 timeout=${2:-20} i id
  for i in $(seq 1 $((timeout * 10))); do
    id=$(xdotool search --onlyvisible --name "$(e2e_title_regex "$title")" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

e2e_window_gone() {
  local title=$1 timeout=${2:-10} i
  for i in $(seq 1 $((timeout * 10))); do
    xdotool search --onlyvisible --name "$(e2e_title_regex "$title")" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# Client-area origin of a window: "X Y".
e2e_window_origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'
}

e2e_window_size() {
  xwininfo -id "$1" | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h}'
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
# second click of a double click.
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

# Waits for the installer to exit; checks its exit code.
e2e_wait_exit() {
  local expected=${1:-0} timeout=${2:-20} i status
  for i in $(seq 1 $((timeout * 10))); do
    if ! kill -0 "$APP_PID" 2>/dev/null; then
      set +e; wait "$APP_PID"; status=$?; set -e
      APP_PID=""
      [ "$status" = "$expected" ] || e2e_fail "installer exited with $status, expected $expected"
      return 0
    fi
    sleep 0.1
  done
  e2e_fail "installer did not exit within ${timeout}s"
}

# Closes the main window through the window manager and waits for the installer to exit
# with the code given. The request goes again every 5 s while the installer runs: one sent
# just after a message box had closed was once seen to go unanswered.
e2e_close_window() {
  local wid=$1 expected=${2:-0} attempt i
  for attempt in 1 2 3; do
    wmctrl -i -c "$wid" 2>/dev/null || true
    for i in $(seq 1 50); do
      kill -0 "$APP_PID" 2>/dev/null || break 2
      sleep 0.1
    done
    e2e_log "the installer still runs 5 s after close request $attempt"
  done
  e2e_wait_exit "$expected" 15
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
# The n-th tick box of the folder list (from 0).
e2e_tick_box() { echo "250 $((48 + 22 * $1 + 11))"; }
# The required size label (its visible part) and the progress page's status text.
E2E_REQUIRED_SIZE="452 237 48 24"
E2E_STATUS="181 118 310 44"
E2E_SUCCESS="191 117 290 24"

# Waits until the OCR of a region contains the text.
e2e_wait_text() {
  local wid=$1 region=$2 wanted=$3 timeout=${4:-20} i text=""
  for i in $(seq 1 $((timeout * 2))); do
    # shellcheck disable=SC2086
    text=$(e2e_read_text "$wid" $region)
    case "$text" in *"$wanted"*) return 0 ;; esac
    sleep 0.5
  done
  echo "read '$text', wanted '$wanted'" >&2
  return 1
}

# Waits until the OCR of a region contains one of the texts; prints what it read.
e2e_wait_any_text() {
  local wid=$1 region=$2 timeout=$3 i text="" wanted
  shift 3
  for i in $(seq 1 $((timeout * 2))); do
    # shellcheck disable=SC2086
    text=$(e2e_read_text "$wid" $region)
    for wanted in "$@"; do
      case "$text" in *"$wanted"*) echo "$text"; return 0 ;; esac
    done
    sleep 0.5
  done
  echo "read '$text', wanted one of: $*" >&2
  return 1
}

# The brightest grey level in a region of the content (0..255): a disabled button's text is dimmer.
e2e_brightest() {
  local wid=$1 x=$2 y=$3 w=$4 h=$5 ox oy
  read -r ox oy < <(e2e_window_origin "$wid")
  import -window root -crop "${w}x${h}+$((ox + x))+$((oy + y))" +repage -colorspace Gray -format '%[fx:int(255*maxima)]' info:
}

# Whether the forward button is enabled: its text is drawn at full strength.
e2e_next_enabled() {
  [ "$(e2e_brightest "$1" 430 272 54 14)" -ge 170 ]
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

# Picks a folder in the folder chooser (zenity's dialog): types its path and confirms.
e2e_choose_folder() {
  local folder=$1 chooser
  chooser=$(e2e_wait_window "Choose a directory..." 20) || e2e_fail "no folder chooser"
  sleep 1
  xdotool windowactivate --sync "$chooser" 2>/dev/null || xdotool windowfocus --sync "$chooser"
  xdotool key --clearmodifiers ctrl+l
  sleep 0.3
  xdotool type --delay 20 "$folder/"
  sleep 0.5
  xdotool key Return
  sleep 0.3
  # A folder typed with a trailing slash opens it; Return once more picks it.
  if xdotool search --onlyvisible --name "$(e2e_title_regex "Choose a directory...")" >/dev/null 2>&1; then
    xdotool key Return
  fi
  e2e_window_gone "Choose a directory..." 10 || e2e_fail "the folder chooser stays open"
}

# Waits for a message box with this title, checks it holds the text, and presses OK.
e2e_dismiss_box() {
  local title=$1 wanted=$2 box text
  box=$(e2e_wait_window "$title" 10) || e2e_fail "no box titled '$title'"
  sleep 0.3
  text=$(e2e_read_window_text "$box")
  case "$text" in *"$wanted"*) ;; *) e2e_fail "box '$title' reads '$text'" ;; esac
  e2e_screenshot "box-$(echo "$title" | tr ' A-Z' '-a-z')"
  e2e_key_in "$title" Return
  e2e_window_gone "$title" || e2e_fail "the box '$title' did not close"
}

# Presses a key in the window with this title (looked up afresh: JUCE may re-create a box's window).
e2e_key_in() {
  local title=$1 key=$2 id
  id=$(e2e_wait_window "$title" 5) || e2e_fail "no window '$title' for the key $key"
  xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers "$key"
}
