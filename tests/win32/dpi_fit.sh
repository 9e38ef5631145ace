#!/usr/bin/env bash
# Runs the DPI test program once per resolution, each in a Wine prefix of its own whose
# LogPixels is that resolution, on a virtual screen large enough for 200 %:
#   dpi_fit.sh PROGRAM [DPI...]     (default: 96 144 192)
set -uo pipefail
program=$1
shift
dpis=("$@")
[ ${#dpis[@]} -eq 0 ] && dpis=(96 144 192)
here=$(cd "$(dirname "$0")" && pwd)
run=$here/../../cmake/wine-run
build=$(cd "$(dirname "$program")/.." && pwd)
failed=0
for dpi in "${dpis[@]}"; do
  prefix=$build/wineprefix-dpi$dpi
  export K2L_WINEPREFIX=$prefix WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$prefix/.logpixels" ]; then
    "$run" "$program" --gtest_list_tests >/dev/null 2>&1
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1
    touch "$prefix/.logpixels"
  fi
  # A server keeps the display it was started on: this run's own screen.
  wineserver -k >/dev/null 2>&1
  echo "== $dpi dpi"
  K2L_DPI=$dpi xvfb-run -n 300 -a -s "-screen 0 2560x1600x24" "$run" "$program" || failed=1
  wineserver -k >/dev/null 2>&1
done
exit $failed
