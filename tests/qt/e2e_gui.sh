#!/usr/bin/env bash
# The real program on a real (virtual) display: started in a folder holding the example reports,
# driven with xdotool like an operator would ("Обработать", then "Сохранить в DBF-формате" in the
# results viewer, OK on "Данные сохранены!"); the two tables it writes must equal, byte for byte,
# those of the command-line converter over the same reports, and pass the strict DBF checker.
# Usage: e2e_gui.sh PROGRAM CONVERTER EXAMPLES_DIR DBFDUMP
set -euo pipefail
program=$1 converter=$2 examples=$3 dbfdump=$4

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cp "$examples/ARTICLE.TXT" "$examples/PRINT.TXT" "$work/"
mkdir "$work/gui" "$work/cli"

# Waits up to 20 s for a visible window whose name matches; prints its id.
wait_window() {
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "window '$1' did not appear" >&2
  return 1
}
# Waits up to 10 s until the keyboard focus is in window $1: the program has activated it (with
# no window manager, Qt does so on a click, and for a box it shows), so keys typed now reach it.
wait_focus() {
  for _ in $(seq 100); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
    sleep 0.1
  done
  echo "the keyboard focus did not come to window $1" >&2
  return 1
}
# Clicks at a point given relative to a window's client area.
click_in() {
  info=$(xwininfo -id "$1")
  x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
  xdotool mousemove --sync $((x + $2)) $((y + $3)) click 1
}

cd "$work"
QT_QPA_PLATFORM=xcb "$program" &
pid=$!
main=$(wait_window '^Импорт справочника из KELVA в ЛАРМИС$')
# The output folder box (10, 355, 492 x 21): select all, type the folder.
click_in "$main" 200 365
wait_focus "$main"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 5 "$work/gui"
# "Обработать" (8, 482, 105 x 25).
click_in "$main" 60 494

viewer=$(wait_window '^Данные, полученные из KELVA$')
# The viewer's "Сохранить в DBF-формате" (8, 504, 162 x 25).
click_in "$viewer" 89 516

box=$(wait_window '^Сообщение$')
wait_focus "$box"
xdotool key Return
for _ in $(seq 100); do
  xdotool search --onlyvisible --name '^Сообщение$' >/dev/null 2>&1 || break
  sleep 0.1
done
if xdotool search --onlyvisible --name '^Сообщение$' >/dev/null 2>&1; then
  echo "the message box did not close" >&2
  exit 1
fi
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=

"$converter" --out "$work/cli" --quiet
for table in "Справочник.dbf" "Приходы.dbf"; do
  [ -f "$work/gui/$table" ] || { echo "$table was not written" >&2; exit 1; }
  cmp "$work/gui/$table" "$work/cli/$table"
done
# The strict checker lives beside the checkout (../shared), which a plain clone does not have: only
# its check is skipped then, everything above has run.
if [ ! -f "$dbfdump" ]; then
  echo "both tables written and equal to the converter's; strict check skipped: no $dbfdump"
elif ! /usr/bin/python3 -c 'import dbfread' 2>/dev/null; then
  echo "both tables written and equal to the converter's; strict check skipped: python3-dbfread is not installed"
else
  /usr/bin/python3 "$dbfdump" --summary --expect sprav "$work/gui/Справочник.dbf" >/dev/null
  /usr/bin/python3 "$dbfdump" --summary --expect prihod "$work/gui/Приходы.dbf" >/dev/null
  echo "both tables written and checked"
fi
