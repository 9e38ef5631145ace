#!/usr/bin/env bash
# Runs a Windows test program that shows windows under Wine, on a virtual X display of its own:
#   run_with_display.sh WINE_RUN PREFIX PROGRAM [ARGS...]
# The prefix is this test's alone: its server (and Wine's desktop process) start with the display
# and are ended with it, so no later run meets a server bound to a display that has gone. Its
# windows live on a Wine desktop of their own (one X window), where Wine activates, hides and
# destroys them at once, as Windows does, instead of waiting on a window manager that may not be
# there. Tahoma, which Windows has, is put where Wine looks for fonts.
set -uo pipefail
wine_run=$1
export K2L_WINEPREFIX=$2 WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
shift 2
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (apt-get install xvfb xauth)"; exit 1; }
wineserver -k >/dev/null 2>&1
if ! grep -qs '"Desktop"="Default"' "$WINEPREFIX/user.reg"; then
  "$wine_run" "$1" --gtest_list_tests >/dev/null 2>&1  # makes the prefix
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1
fi
for font in /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf; do
  [ -f "$font" ] && ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
done
xvfb-run -a -s "-screen 0 1280x1024x24" "$wine_run" "$@"
status=$?
wineserver -k >/dev/null 2>&1
exit $status
