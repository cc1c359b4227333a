#!/usr/bin/env bash
# Runs a Windows program under Wine, bounded in time: wine-run.sh program.exe [args...]
# The prefix is $WINEPREFIX (scripts/test-windows.sh makes a fresh one per run); Wine's
# own diagnostics are off unless WINEDEBUG says otherwise. HF_WINE_TIMEOUT (seconds,
# 600 by default) bounds the run; the program is killed 10 seconds after that.
set -euo pipefail
export WINEDEBUG="${WINEDEBUG:--all}"
exec timeout --kill-after=10 "${HF_WINE_TIMEOUT:-600}" wine "$@"
