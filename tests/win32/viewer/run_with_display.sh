#!/usr/bin/env bash
# Runs a Windows program that shows windows under Wine, on a virtual X display of its own:
#   run_with_display.sh WINE_RUN PREFIX PROGRAM [ARGS...]
# The prefix is this test's alone: its server (and Wine's desktop process) start with the display
# and are ended with it, so no later run meets a server bound to a display that has gone.
set -uo pipefail
wine_run=$1
export K2L_WINEPREFIX=$2 WINEPREFIX=$2
shift 2
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (apt-get install xvfb xauth)"; exit 1; }
wineserver -k >/dev/null 2>&1
xvfb-run -a -s "-screen 0 1280x1024x24" "$wine_run" "$@"
status=$?
wineserver -k >/dev/null 2>&1
exit $status
