#!/usr/bin/env bash
# Under Wine, in a fresh prefix of its own: the NSIS installer, run silently without /D, installs
# the programs, the documentation and an uninstaller for the current user alone, into the user's
# programs folder, with Start-menu shortcuts and its registration under HKCU, and changes nothing
# outside the user's folders and HKCU (the prefix's files and registry compared before and after);
# the installed converter converts the examples to the same tables as the Linux converter (byte for
# byte but the date of the last update, header bytes 1-3). Then each later installation replaces
# the one before it: /D= into a folder with Cyrillic letters, /AllUsers into Program Files (for
# every user: HKLM, the common Start menu), and again for the user alone. Last, the uninstaller,
# run silently, removes the folder, the shortcuts and the registration.
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
  echo "skipped: $linux is not built (build the dev preset)"
  exit 77
fi
linux=$(realpath "$linux") wine_run=$(realpath "$wine_run")

# The temporary folder is inside the build folder, as wine-run wants its programs; the prefix is
# its own, so that no other test's Wine changes it between the two looks at it.
work=$(mktemp -d -p "$(dirname "$installer")")
export K2L_WINEPREFIX=$work/prefix
export WINEPREFIX=$K2L_WINEPREFIX
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
. "$(dirname "$0")/same_tables.sh"

wine_exe() { "$wine_run" "$WINEPREFIX/drive_c/windows/system32/$1.exe" "${@:2}"; }
# A Windows path of the prefix's drive C: as a Unix one.
unix_path() {
  local path=${1//\\//}
  echo "$WINEPREFIX/drive_c/${path#[Cc]:/}"
}
registered() { # ROOT: whether an installation is registered for removal there
  wine_exe reg query "$1\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\kelva2larmis" \
    >/dev/null 2>&1
}
# The shortcuts in Start-menu folders named kelva2larmis, with the folder they are in.
shortcuts() {
  (cd "$WINEPREFIX/drive_c" && find . -path '*/Start Menu/Programs/kelva2larmis/*' -name '*.lnk' |
    sed 's|^\./||' | sort)
}
want_shortcuts() { # START_MENU_FOLDER (relative to drive C:)
  local links=(Examples.lnk Uninstall.lnk) program
  for program in "${programs[@]}"; do
    [ "$program" = kelva2larmis ] && links+=(kelva2larmis.lnk)
  done
  printf "$1/kelva2larmis/%s\n" "${links[@]}" | sort
}
expect_installed() { # FOLDER (Unix) START_MENU_FOLDER ROOT OTHER_ROOT
  local program file
  for program in "${programs[@]}"; do
    [ -s "$1/$program.exe" ] || fail "$program.exe is not installed in $1"
  done
  for file in Uninstall.exe README.md LICENSE.txt examples/ARTICLE.TXT examples/PRINT.TXT; do
    [ -s "$1/$file" ] || fail "$file is not installed in $1"
  done
  [ "$(shortcuts)" = "$(want_shortcuts "$2")" ] ||
    fail "Start-menu shortcuts are '$(shortcuts | tr '\n' ' ')', not '$(want_shortcuts "$2" | tr '\n' ' ')'"
  registered "$3" || fail "the installation in $1 is not registered under $3"
  if registered "$4"; then fail "an installation is still registered under $4"; fi
}
gone() { # FOLDER: waits up to 60 s for a silent uninstaller's copy to remove it
  for _ in $(seq 600); do
    [ -e "$1" ] || return 0
    sleep 0.1
  done
  fail "$1 is still there: $(cd "$1" && find . -mindepth 1 | tr '\n' ' ')"
}

# What the prefix holds outside the user's folder, and its registry outside HKCU. Wine itself
# rewrites, at every start, the links of its devices and the registry keys of the hardware it
# finds (with a time in each), so those are left out.
snapshot() { # NAME
  wineserver -k 2>/dev/null || true
  wineserver -w
  (cd "$WINEPREFIX" && find . -path "./drive_c/users/$user" -prune -o -path ./dosdevices -prune \
    -o -name '*.reg' -o \( -type f -o -type l \) -printf '%p %s %T@\n' | sort) >"$work/$1.files"
  local reg
  for reg in system userdef; do
    awk '/^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); print key; next }
         /^#/ || /^$/ { next }
         { line = $0
           while (line ~ /\\$/ && (getline more) > 0) { sub(/\\$/, "", line); sub(/^ +/, "", more); line = line more }
           print key " " line }' "$WINEPREFIX/$reg.reg" |
      grep -v -e '^\[System\\\\CurrentControlSet\\\\Control\\\\Class\\\\' \
        -e '^\[System\\\\CurrentControlSet\\\\Enum\\\\' \
        -e '^\[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\NetworkCards' \
        -e '^\[Hardware\\\\' | sort >"$work/$1.$reg"
  done
}

# 1. For this user alone, without /D: the user's programs folder, with no administrator's traces.
wineboot -i >/dev/null 2>&1 </dev/null || true
wineserver -w
user=$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -n 1)
local_appdata=$(wine_exe cmd /c 'echo %LOCALAPPDATA%' | tr -d '\r')
user_folder=$(unix_path "$local_appdata\\Programs\\kelva2larmis")
user_menu=users/$user/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs
common_menu=ProgramData/Microsoft/Windows/Start\ Menu/Programs
snapshot before
"$wine_run" "$installer" /S || fail "the installer exits $?"
snapshot after
expect_installed "$user_folder" "$user_menu" HKCU HKLM
for part in files system userdef; do
  changes=$(diff "$work/before.$part" "$work/after.$part" | grep '^[<>]' || true)
  [ -z "$changes" ] || fail "an installation for the user alone changed $part (files: outside
the user's folder; system: HKLM; userdef: the default user's keys):
$changes"
done

converter=$user_folder/kelva2larmis-convert.exe
if [ -f "$converter" ]; then
  got=$("$wine_run" "$converter" --version | tr -d '\r') || fail "--version exits $?"
  [ "$got" = "kelva2larmis-convert $version" ] || fail "--version prints '$got'"
  mkdir "$work/in" "$work/windows" "$work/linux"
  cp "$user_folder/examples/"* "$work/in/"
  (cd "$work/in" && "$wine_run" "$converter" --quiet --out "$work/windows" >"$work/windows.stdout") ||
    fail "the installed converter exits $? on the examples"
  (cd "$work/in" && "$linux" --quiet --out "$work/linux" >"$work/linux.stdout") ||
    fail "the Linux converter exits $? on the examples"
  cmp -s "$work/windows.stdout" "$work/linux.stdout" || fail "the converters print different lines"
  same_tables "$work/windows" "$work/linux" "the Linux converter"
fi

# 2. /D= replaces it: NSIS takes the folder after /D= as it is, unquoted, as the last argument.
target=$work/Программы/kelva2larmis
mkdir -p "$(dirname "$target")"
"$wine_run" "$installer" /S "/D=Z:${target//\//\\}" || fail "the installer with /D exits $?"
expect_installed "$target" "$user_menu" HKCU HKLM
gone "$user_folder"

# 3. For every user, into Program Files (Wine's user is an administrator); the user's goes.
"$wine_run" "$installer" /S /AllUsers || fail "the installer with /AllUsers exits $?"
expect_installed "$WINEPREFIX/drive_c/Program Files/kelva2larmis" "$common_menu" HKLM HKCU
gone "$target"

# 4. For the user alone again: the installation for every user goes.
"$wine_run" "$installer" /S || fail "the installer exits $? over the one for every user"
expect_installed "$user_folder" "$user_menu" HKCU HKLM
gone "$WINEPREFIX/drive_c/Program Files/kelva2larmis"

# 5. A silent uninstaller copies itself away and returns at once, the copy working on.
if [ -f "$user_folder/Uninstall.exe" ]; then
  "$wine_run" "$user_folder/Uninstall.exe" /S || fail "the uninstaller exits $?"
  gone "$user_folder"
  # The copy removes the registry entry, then the installed folder, then the shortcuts: wait for
  # those too, 60 seconds at most.
  for _ in $(seq 600); do
    [ -n "$(shortcuts)" ] || break
    sleep 0.1
  done
  [ -z "$(shortcuts)" ] || fail "the uninstaller left the shortcuts $(shortcuts | tr '\n' ' ')"
  if registered HKCU; then fail "the uninstaller left the registration"; fi
fi

if [ "$failures" != 0 ]; then
  echo "$failures failure(s) in $(basename "$installer")"
  exit 1
fi
echo "ok: $(basename "$installer"), $(stat -c %s "$installer") bytes"
