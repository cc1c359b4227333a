# Shared helpers of the end-to-end tests: a real X server (Xvfb) with a window manager,
# the installer started for real, and real input events through xdotool.
set -euo pipefail

E2E_TMP=""
XVFB_PID=""
WM_PID=""
APP_PID=""

e2e_fail() { echo "FAIL: $*" >&2; e2e_screenshot "failure" || true; exit 1; }
e2e_log() { echo "[$(date +%H:%M:%S)] $*"; }

e2e_cleanup() {
  set +e
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  [ -n "$E2E_TMP" ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$E2E_TMP"
}

# Starts Xvfb on a free display and a window manager, so windows get real title bars
# and the close request travels as WM_DELETE_WINDOW, as it does on a desktop.
e2e_start_x() {
  E2E_TMP=$(mktemp -d /tmp/hf-e2e.XXXXXX)
  trap e2e_cleanup EXIT
  local d
  for d in $(seq 91 160); do
    if [ ! -e "/tmp/.X$d-lock" ] && [ ! -e "/tmp/.X11-unix/X$d" ]; then
      Xvfb ":$d" -screen 0 1024x768x24 -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
      XVFB_PID=$!
      export DISPLAY=":$d"
      local i
      for i in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
      done
      if xdpyinfo >/dev/null 2>&1; then
        openbox >"$E2E_TMP/wm.log" 2>&1 &
        WM_PID=$!
        sleep 0.5
        return 0
      fi
      kill "$XVFB_PID" 2>/dev/null || true
    fi
  done
  e2e_fail "no X display could be started"
}

# e2e_registry FILE [VERSION FOLDER]... writes a .reg file naming plug-in folders.
e2e_registry() {
  local file=$1; shift
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

# Waits for a top-level window with exactly this title; prints its id.
e2e_wait_window() {
  local title=$1 timeout=${2:-20} i id
  for i in $(seq 1 $((timeout * 10))); do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

e2e_window_gone() {
  local title=$1 timeout=${2:-10} i
  for i in $(seq 1 $((timeout * 10))); do
    xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1 || return 0
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

# Clicks at a point of the main window's 500 x 300 content.
e2e_click() {
  local wid=$1 x=$2 y=$3 ox oy
  read -r ox oy < <(e2e_window_origin "$wid")
  xdotool mousemove --sync $((ox + x)) $((oy + y)) click 1
  sleep "${E2E_CLICK_PAUSE:-0.4}"
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
  tesseract "$E2E_TMP/ocr.png" - --psm 7 2>/dev/null | tr -d '\f' | head -n 1
}
