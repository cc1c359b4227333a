#!/usr/bin/env bash
# Start-up time: from process start to the window mapped, for the installer and, in the same
# run and alternating with it, a minimal JUCE window program built the same way.
#   bench/startup_benchmark.sh [build folder] [runs]
# Prints the medians and, as its last line, "startup ratio: R" (installer / minimal).
set -euo pipefail
build=${1:-build}
runs=${2:-15}
installer="$build/VistrelInstaller"
minimal="$build/bench/minimal_window"
[ -x "$installer" ] && [ -x "$minimal" ] || { echo "build the project first (cmake --build $build)"; exit 1; }

work=$(mktemp -d)
cleanup() { kill "${xvfb:-}" "${wm:-}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
for d in $(seq 170 200); do [ -e "/tmp/.X$d-lock" ] || break; done
Xvfb ":$d" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
export DISPLAY=":$d"
for i in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
openbox >/dev/null 2>&1 & wm=$!
sleep 0.5

# A demo layout like the README's: one After Effects folder in the registry.
mkdir -p "$work/Plug-ins"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Adobe\\After Effects\\13.5]\r\n"PluginInstallPath"="%s"\r\n' "$work/Plug-ins" >"$work/registry.reg"
export HF_REGISTRY_FILE="$work/registry.reg"

# Seconds from the start of the program to its window being mapped.
time_to_window() {
  local exe=$1 title=$2 start end pid
  start=$(date +%s.%N)
  "$exe" >/dev/null 2>&1 &
  pid=$!
  # xdotool's own --sync polls twice a second: poll here instead, as fast as it answers.
  until xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "$exe ended without a window (is another installer running?)" >&2; exit 1; }
  done
  end=$(date +%s.%N)
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  echo "$end - $start" | bc -l
}

median() { sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

: >"$work/installer.txt"; : >"$work/minimal.txt"
time_to_window "$installer" "Vistrel Installer" >/dev/null   # warm the file cache
time_to_window "$minimal" "Minimal Window" >/dev/null
for i in $(seq 1 "$runs"); do
  time_to_window "$installer" "Vistrel Installer" >>"$work/installer.txt"
  time_to_window "$minimal" "Minimal Window" >>"$work/minimal.txt"
done

echo "installer runs: $(tr "\n" " " <"$work/installer.txt")"
echo "minimal runs: $(tr "\n" " " <"$work/minimal.txt")"
mi=$(median <"$work/installer.txt")
mm=$(median <"$work/minimal.txt")
printf 'runs: %d each, alternating\n' "$runs"
printf 'installer: median %.3f s to the window\n' "$mi"
printf 'minimal JUCE window: median %.3f s to the window\n' "$mm"
printf 'startup ratio: %.3f\n' "$(echo "$mi / $mm" | bc -l)"
