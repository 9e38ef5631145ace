#!/usr/bin/env bash
# The Windows converter (under Wine) writes the same tables as the Linux converter, byte for byte
# but for the date of the last update (header bytes 1-3), and prints the same lines: for the
# bundled examples, with and without --write-id, and for a generated pair of 100,000 articles.
#   windows_tables_match.sh LINUX_CONVERTER WINDOWS_CONVERTER WINE_RUN EXAMPLES REPORT_GENERATOR
# Exits 77 (skipped) with one line why when Wine or a program is missing.
set -euo pipefail
linux=$1 windows=$2 wine_run=$3 examples=$4 generator=$5

for program in "$linux" "$windows" "$generator"; do
  if [ ! -x "$program" ] && [ ! -f "$program" ]; then
    echo "skipped: $program is not built (build the release and windows presets)"
    exit 77
  fi
done
if ! command -v wine >/dev/null; then
  echo "skipped: wine is not installed"
  exit 77
fi
# The conversions run in the folder of their reports.
linux=$(realpath "$linux") windows=$(realpath "$windows") wine_run=$(realpath "$wine_run")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Converts the reports in folder $1 with options $3... on both converters; $2 names the case.
compare() {
  local folder=$1 name=$2
  shift 2
  local linux_out="$work/$name.linux" windows_out="$work/$name.windows"
  mkdir "$linux_out" "$windows_out"
  local linux_exit=0 windows_exit=0
  (cd "$folder" && "$linux" --quiet --out "$linux_out" "$@" >"$linux_out.stdout" 2>&1) ||
    linux_exit=$?
  (cd "$folder" && "$wine_run" "$windows" --quiet --out "$windows_out" "$@" \
    >"$windows_out.stdout" 2>&1) || windows_exit=$?
  if [ "$linux_exit" != 0 ] || [ "$windows_exit" != 0 ]; then
    echo "FAIL $name: exit codes $linux_exit (Linux) and $windows_exit (Windows)"
    cat "$linux_out.stdout" "$windows_out.stdout"
    failures=$((failures + 1))
    return
  fi
  if ! cmp -s "$linux_out.stdout" "$windows_out.stdout"; then
    echo "FAIL $name: the converters print different lines"
    diff "$linux_out.stdout" "$windows_out.stdout" || true
    failures=$((failures + 1))
  fi
  local table
  for table in "Справочник.dbf" "Приходы.dbf"; do
    local a="$linux_out/$table" b="$windows_out/$table"
    if [ ! -f "$a" ] || [ ! -f "$b" ]; then
      echo "FAIL $name: $table is missing"
      failures=$((failures + 1))
      continue
    fi
    # The version byte, then everything after the date.
    if ! cmp -s <(head -c 1 "$a") <(head -c 1 "$b") ||
      ! cmp -s <(tail -c +5 "$a") <(tail -c +5 "$b"); then
      echo "FAIL $name: $table differs (from byte 5 on): $(cmp <(tail -c +5 "$a") <(tail -c +5 "$b") 2>&1 || true)"
      failures=$((failures + 1))
      continue
    fi
    echo "ok $name: $table, $(stat -c %s "$a") bytes"
  done
}

mkdir "$work/examples" "$work/generated"
cp "$examples/ARTICLE.TXT" "$examples/PRINT.TXT" "$work/examples/"
"$generator" 100000 "$work/generated" >/dev/null

compare "$work/examples" examples
compare "$work/examples" examples-write-id --write-id
compare "$work/generated" generated-100000

if [ "$failures" != 0 ]; then
  echo "$failures difference(s)"
  exit 1
fi
