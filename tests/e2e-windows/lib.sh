# Shared helpers of the Windows end-to-end tests: those of the Linux ones (tests/e2e/lib.sh),
# and Wine in a prefix of the test's own, whose registry names the plug-in folders the
# test gives it and nothing else.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"

# e2e_wine_start_x WINE_RUN: the X server and window manager, and a new Wine prefix. Sets
# drive_c. Wine runs in C.UTF-8: UTF-8 Unix file names, the Windows code page 1252 (see
# scripts/test-windows.sh).
e2e_wine_start_x() {
  E2E_WINE_RUN=$1
  e2e_start_x
  export LC_ALL=C.UTF-8
  export WINEPREFIX="$E2E_TMP/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  trap 'timeout 30 wineserver -k 2>/dev/null; timeout 30 wineserver -w 2>/dev/null; e2e_cleanup' EXIT
  HF_WINE_TIMEOUT=300 "$E2E_WINE_RUN" wineboot --init >"$E2E_TMP/wineboot.log" 2>&1 || e2e_fail "no Wine prefix"
  drive_c="$WINEPREFIX/drive_c"
}

# e2e_wine_plugin_folder VERSION WINDOWS_PATH: names the plug-in folder of an After Effects
# version key in the registry's 64-bit view. reg.exe takes its arguments as UTF-16, which
# Wine makes from the UTF-8 command line.
e2e_wine_plugin_folder() {
  HF_WINE_TIMEOUT=60 "$E2E_WINE_RUN" reg add "HKLM\\SOFTWARE\\Adobe\\After Effects\\$1" /v PluginInstallPath /t REG_SZ \
    /d "$2" /f /reg:64 >>"$E2E_TMP/reg.log" 2>&1 || e2e_fail "the registry could not be seeded"
}

# e2e_wine_start_app EXE: starts the installer under Wine and waits for its welcome page.
# Sets wid.
e2e_wine_start_app() {
  "$E2E_WINE_RUN" "$1" >"$E2E_TMP/app.log" 2>&1 &
  APP_PID=$!
  wid=$(e2e_wait_window "Vistrel Installer" 60) || e2e_fail "no installer window"
  e2e_wait_page "$wid" "$E2E_WELCOME_TEXT" 60 || e2e_fail "no welcome page"
}
