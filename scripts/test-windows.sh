#!/usr/bin/env bash
# Cross-builds the Windows installer and the Windows test executables in build-windows/
# and runs the Windows test suites under Wine: a fresh Wine prefix per run, Wine's own
# diagnostics off, every Wine run bounded in time (scripts/wine-run.sh), all of it in a
# virtual X server, and the Wine server stopped at the end.
#
# The cross-built libpng and libjpeg stay in build-windows/deps, so a rerun does not
# build them again.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
started=$SECONDS

cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build-windows -j"$(nproc)"
echo "test-windows: Windows build done after $((SECONDS - started)) s"

export WINEPREFIX="$root/build-windows/wine"
export WINEDEBUG=-all
# Wine names Unix files in the Unix locale's character set and takes the Windows locale
# from it: C.UTF-8 (on every Debian) gives UTF-8 file names and the ANSI code page 1252,
# so that names beyond ASCII reach the disk and the narrow calls do not read UTF-8 (the
# programs ask for no UTF-8 code page). Without a UTF-8 locale Wine makes no such names.
export LC_ALL=C.UTF-8
# No Mono or Gecko installer dialogs while the prefix is made: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"

stop_wine() {
  timeout 30 wineserver -k 2>/dev/null || true
  timeout 30 wineserver -w 2>/dev/null || true
}

# Drives of their own for the engine's Windows tests: X: and Y:, two folders that Wine
# shows as two volumes without labels, and S:, a 64 KiB tmpfs (a volume of another file
# system, which a move reaches only by copying), where this process may mount one.
export HF_WINE_VOLUMES="$root/build-windows/wine-volumes"
unmount_small_volume() {
  if mountpoint -q "$HF_WINE_VOLUMES/s"; then umount "$HF_WINE_VOLUMES/s"; fi
}
unmount_small_volume
rm -rf "$HF_WINE_VOLUMES"
mkdir -p "$HF_WINE_VOLUMES/x" "$HF_WINE_VOLUMES/y" "$HF_WINE_VOLUMES/s"
mount -t tmpfs -o size=65536,mode=0755 tmpfs "$HF_WINE_VOLUMES/s" 2>/dev/null \
  || echo "test-windows: no small volume S: for the engine tests (this process may not mount one)"
trap 'stop_wine; unmount_small_volume' EXIT

# Everything Wine runs here shares one virtual X server: the test suites that open
# windows and the end-to-end run of the installer need a display.
run_in_display() {
  xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$@"
}

run_in_display bash -c '
  set -euo pipefail
  timeout 300 wineboot --init
  timeout 120 wineserver -w
  ln -sfn "$HF_WINE_VOLUMES/x" "$WINEPREFIX/dosdevices/x:"
  ln -sfn "$HF_WINE_VOLUMES/y" "$WINEPREFIX/dosdevices/y:"
  if mountpoint -q "$HF_WINE_VOLUMES/s"; then ln -sfn "$HF_WINE_VOLUMES/s" "$WINEPREFIX/dosdevices/s:"; fi
  ctest --test-dir build-windows --output-on-failure -j"$(nproc)"
'
stop_wine
echo "test-windows: done after $((SECONDS - started)) s"
