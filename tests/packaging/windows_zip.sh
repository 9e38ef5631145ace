#!/usr/bin/env bash
# The Windows zip holds one folder with the programs, README, the licence and the examples, nothing
# else; the programs need no DLL beside them (none of MinGW's runtime libraries), and the unpacked
# converter runs under Wine and prints the project's version.
#   windows_zip.sh PACKAGE_DIR VERSION WINE_RUN OBJDUMP [PROGRAM...]
# Exits 77 (skipped) with one line why when there is no zip or no Wine.
set -euo pipefail
packages=$1 version=$2 wine_run=$3 objdump=$4
shift 4
programs=("$@")

zips=("$packages"/*.zip)
if [ ${#zips[@]} != 1 ] || [ ! -f "${zips[0]}" ]; then
  echo "skipped: no zip in $packages"
  exit 77
fi
zip=${zips[0]}
wine_run=$(realpath "$wine_run")
# Unpacked inside the build folder, so that wine-run runs the converter in the build's own prefix.
work=$(mktemp -d -p "$(dirname "$zip")")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

top=$(basename "$zip" .zip)
want=("$top/README.md" "$top/LICENSE.txt" "$top/examples/ARTICLE.TXT" "$top/examples/PRINT.TXT")
for program in "${programs[@]}"; do want+=("$top/$program.exe"); done
want_list=$(printf '%s\n' "${want[@]}" | sort)
got_list=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
[ "$got_list" = "$want_list" ] || fail "the zip holds
$got_list
instead of
$want_list"

unzip -q "$zip" -d "$work"
for program in "${programs[@]}"; do
  exe=$work/$top/$program.exe
  [ -f "$exe" ] || continue
  runtime=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | grep -i '^lib' | tr '\n' ' ' || true)
  [ -z "$runtime" ] || fail "$program.exe needs $runtime beside it"
done
converter=$work/$top/kelva2larmis-convert.exe
if [ -f "$converter" ] && command -v wine >/dev/null; then
  got=$("$wine_run" "$converter" --version | tr -d '\r') || fail "--version exits $?"
  [ "$got" = "kelva2larmis-convert $version" ] || fail "--version prints '$got'"
fi

if [ "$failures" != 0 ]; then
  echo "$failures failure(s) in $(basename "$zip")"
  exit 1
fi
echo "ok: $(basename "$zip"), $(stat -c %s "$zip") bytes"
