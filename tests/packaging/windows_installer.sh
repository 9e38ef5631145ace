#!/usr/bin/env bash
# Under Wine: the NSIS installer, run silently into a temporary folder, installs the programs, the
# documentation and an uninstaller, with Start-menu shortcuts; the installed converter converts the
# examples to the same tables as the Linux converter (byte for byte but the date of the last
# update, header bytes 1-3); the uninstaller, run silently, removes the folder, the shortcuts and
# the registry entry again.
#   windows_installer.sh PACKAGE_DIR VERSION WINE_RUN LINUX_CONVERTER [PROGRAM...]
# The programs listed are the ones the build made; each must be installed.
# Exits 77 (skipped) with one line why when Wine, the installer or the Linux converter is missing.
set -euo pipefail
packages=$1 version=$2 wine_run=$3 linux=$4
shift 4
programs=("$@")

installers=("$packages"/*-setup.exe)
if [ ${#installers[@]} != 1 ] || [ ! -f "${installers[0]}" ]; then
  echo "skipped: no installer in $packages (makensis missing?)"
  exit 77
fi
installer=$(realpath "${installers[0]}")
if ! command -v wine >/dev/null; then
  echo "skipped: wine is not installed"
  exit 77
fi
if [ ! -x "$linux" ]; then
  echo "skipped: $linux is not built (build the release preset)"
  exit 77
fi
linux=$(realpath "$linux") wine_run=$(realpath "$wine_run")

# The temporary folder is inside the build folder, so that wine-run runs the installed programs in
# the build's own prefix (it takes the nearest build folder above a program), where the installer
# registered them, and keeps its lock files out of the installed folder.
work=$(mktemp -d -p "$(dirname "$installer")")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
. "$(dirname "$0")/same_tables.sh"

dir=$(dirname "$installer")
while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
prefix=${K2L_WINEPREFIX:-$dir/wineprefix}
# The shortcuts of the installer's own Start-menu folder (all users', as the installer runs as an
# administrator under Wine).
shortcuts() {
  find "$prefix/drive_c" -path '*/Start Menu/Programs/kelva2larmis/*' -name '*.lnk' -printf '%f\n' \
    2>/dev/null | sort
}
registered() {
  "$wine_run" "$prefix/drive_c/windows/system32/reg.exe" query \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\kelva2larmis' >/dev/null 2>&1
}

# Without /D the installer goes into Program Files.
if [ -f "$packages/project.nsi" ]; then
  # shellcheck disable=SC2016 # NSIS's variable, not the shell's
  grep -qF 'InstallDir "$PROGRAMFILES64\kelva2larmis"' "$packages/project.nsi" ||
    fail "the default folder is not Program Files: $(grep InstallDir "$packages/project.nsi")"
else
  fail "cpack left no project.nsi"
fi

# NSIS takes the folder after /D= as it is, unquoted, as the last argument.
target=$work/Программы/kelva2larmis
mkdir -p "$(dirname "$target")"
"$wine_run" "$installer" /S "/D=Z:${target//\//\\}" || fail "the installer exits $?"

for program in "${programs[@]}"; do
  [ -s "$target/$program.exe" ] || fail "$program.exe is not installed"
done
for file in Uninstall.exe README.md examples/ARTICLE.TXT examples/PRINT.TXT; do
  [ -s "$target/$file" ] || fail "$file is not installed"
done
links=(Examples.lnk Uninstall.lnk)
for program in "${programs[@]}"; do
  [ "$program" = kelva2larmis ] && links+=(kelva2larmis.lnk)
done
got_links=$(shortcuts | tr '\n' ' ')
want_links=$(printf '%s\n' "${links[@]}" | sort | tr '\n' ' ')
[ "$got_links" = "$want_links" ] || fail "Start-menu shortcuts are '$got_links', not '$want_links'"
registered || fail "the installation is not registered for removal"

converter=$target/kelva2larmis-convert.exe
if [ -f "$converter" ]; then
  got=$("$wine_run" "$converter" --version | tr -d '\r') || fail "--version exits $?"
  [ "$got" = "kelva2larmis-convert $version" ] || fail "--version prints '$got'"
  mkdir "$work/in" "$work/windows" "$work/linux"
  cp "$target/examples/"* "$work/in/"
  (cd "$work/in" && "$wine_run" "$converter" --quiet --out "$work/windows" >"$work/windows.stdout") ||
    fail "the installed converter exits $? on the examples"
  (cd "$work/in" && "$linux" --quiet --out "$work/linux" >"$work/linux.stdout") ||
    fail "the Linux converter exits $? on the examples"
  cmp -s "$work/windows.stdout" "$work/linux.stdout" || fail "the converters print different lines"
  same_tables "$work/windows" "$work/linux" "the Linux converter"
fi

# A silent uninstaller copies itself away and returns at once, the copy working on: wait, 60
# seconds at most, for the folder and the Start-menu folder to go. That one goes last: the copy
# removes the registry entry, then the installed folder, then the shortcuts and their folder.
start_menu_folder() {
  find "$prefix/drive_c" -path '*/Start Menu/Programs/kelva2larmis' 2>/dev/null
}
if [ -f "$target/Uninstall.exe" ]; then
  "$wine_run" "$target/Uninstall.exe" /S || fail "the uninstaller exits $?"
  for _ in $(seq 600); do
    [ -e "$target" ] || [ -n "$(start_menu_folder)" ] || break
    sleep 0.1
  done
  if [ -e "$target" ]; then
    fail "the uninstaller left: $(cd "$target" && find . -mindepth 1 | tr '\n' ' ')"
  fi
  [ -z "$(shortcuts)" ] || fail "the uninstaller left the shortcuts $(shortcuts | tr '\n' ' ')"
  [ -z "$(start_menu_folder)" ] || fail "the uninstaller left the Start-menu folder"
  if registered; then fail "the uninstaller left the registry entry"; fi
fi

if [ "$failures" != 0 ]; then
  echo "$failures failure(s) in $(basename "$installer")"
  exit 1
fi
echo "ok: $(basename "$installer"), $(stat -c %s "$installer") bytes"
