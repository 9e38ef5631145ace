#!/usr/bin/env bash
# The Debian package, unpacked into a temporary root, holds the programs, the desktop entry (valid),
# the icon at every size, the manual pages and the documentation; its control fields carry the
# project's version and dependencies worked out from the binaries; its converter prints that
# version and converts the examples to the same tables as the build's converter (byte for byte
# but the date of the last update, header bytes 1-3).
#   deb_contents.sh PACKAGE_DIR VERSION BUILD_CONVERTER EXAMPLES [PROGRAM...]
# The programs listed are the ones the build made; each must be in the package.
set -euo pipefail
# (Cyrillic in the patterns below, and in the manual pages.)
export LC_ALL=C.UTF-8
packages=$1 version=$2 converter=$3 examples=$4
shift 4
programs=("$@")

for tool in dpkg-deb desktop-file-validate man; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/deps installs it)"
    exit 77
  fi
done
debs=("$packages"/*.deb)
if [ ${#debs[@]} != 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: expected one .deb in $packages, found: ${debs[*]}"
  exit 1
fi
deb=${debs[0]}
converter=$(realpath "$converter")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
dpkg-deb -x "$deb" "$root"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
. "$(dirname "$0")/same_tables.sh"

# Control fields.
[ "$(dpkg-deb -f "$deb" Package)" = kelva2larmis ] || fail "Package is $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] ||
  fail "Version is $(dpkg-deb -f "$deb" Version), the project's is $version"
depends=$(dpkg-deb -f "$deb" Depends)
# The package names alone, one a line.
depends_names=$(sed 's/ *([^)]*)//g; s/ *, */\n/g' <<<"$depends")
want_depends=(libc6 libstdc++6)
for program in "${programs[@]}"; do
  [ "$program" = kelva2larmis ] && want_depends+=(libqt6widgets6 libxcb1)
done
for library in "${want_depends[@]}"; do
  grep -qxF "$library" <<<"$depends_names" || fail "Depends lacks $library: $depends"
done
# The desktop program's font comes with Wine's fonts package.
for program in "${programs[@]}"; do
  if [ "$program" = kelva2larmis ] && [ "$(dpkg-deb -f "$deb" Recommends)" != fonts-wine ]; then
    fail "Recommends is \"$(dpkg-deb -f "$deb" Recommends)\", not fonts-wine"
  fi
done

# Files.
want_files=(
  usr/share/doc/kelva2larmis/README.md
  usr/share/doc/kelva2larmis/copyright
  usr/share/doc/kelva2larmis/changelog.gz
  usr/share/doc/kelva2larmis/examples/ARTICLE.TXT
  usr/share/doc/kelva2larmis/examples/PRINT.TXT
)
for program in "${programs[@]}"; do
  [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program is missing or not executable"
  want_files+=("usr/share/man/man1/$program.1.gz")
done
if [[ " ${programs[*]} " == *" kelva2larmis "* ]]; then
  want_files+=(usr/share/applications/kelva2larmis.desktop
    usr/share/icons/hicolor/scalable/apps/kelva2larmis.svg)
  for size in 16 32 48 64 128 256; do
    want_files+=("usr/share/icons/hicolor/${size}x$size/apps/kelva2larmis.png")
  done
fi
for file in "${want_files[@]}"; do
  [ -s "$root/$file" ] || fail "$file is missing or empty"
done
for cmp_file in ARTICLE.TXT PRINT.TXT; do
  cmp -s "$examples/$cmp_file" "$root/usr/share/doc/kelva2larmis/examples/$cmp_file" ||
    fail "examples/$cmp_file differs from the source tree's"
done

# The desktop entry is valid, starts the program with its icon from the Office menu.
if [ -f "$root/usr/share/applications/kelva2larmis.desktop" ]; then
  desktop=$root/usr/share/applications/kelva2larmis.desktop
  if ! validation=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$validation" ]; then
    fail "desktop-file-validate: $validation"
  fi
  for key in Exec=kelva2larmis Icon=kelva2larmis Categories=Office\; Terminal=false; do
    grep -qx "$key" "$desktop" || fail "the desktop entry lacks $key"
  done
  # Its name and comment in Russian: the untranslated keys hold Cyrillic letters.
  for key in Name Comment; do
    grep -Pq "^$key=.*[\x{0400}-\x{04FF}]" "$desktop" || fail "the desktop entry's $key is not Russian"
  done
  # The icons are the sizes their folders say.
  for size in 16 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x$size/apps/kelva2larmis.png
    [ -f "$png" ] || continue
    # PNG width and height: big-endian 32-bit numbers at bytes 17 and 21.
    got=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
    [ "$got" = "${size}x$size" ] || fail "the ${size}x$size icon is $got"
  done
fi

# The manual pages render without warnings, under their own name.
for program in "${programs[@]}"; do
  page=$root/usr/share/man/man1/$program.1.gz
  [ -f "$page" ] || continue
  rendered=$(MANWIDTH=80 man --warnings -l "$page" 2>"$work/man.err")
  [ ! -s "$work/man.err" ] || fail "man $program: $(cat "$work/man.err")"
  grep -q "^NAME" <<<"$rendered" || fail "man $program has no NAME section"
  grep -Eq "^ *$program +- " <<<"$rendered" || fail "man $program does not name $program"
done
page=$root/usr/share/man/man1/kelva2larmis-convert.1.gz
if [ -f "$page" ]; then
  rendered=$(MANWIDTH=200 man -l "$page" 2>/dev/null)
  for option in --article --print --out --prefix --start --vat --write-id --quiet --ean13 --check \
    --check-only --version; do
    grep -q -- "^ *$option" <<<"$rendered" || fail "the converter's manual page lacks $option"
  done
  grep -q "Справочник.dbf" <<<"$rendered" || fail "the converter's manual page lost its Cyrillic"
fi

# The packaged converter.
packaged=$root/usr/bin/kelva2larmis-convert
if [ -x "$packaged" ]; then
  got=$("$packaged" --version) || fail "--version exits $?"
  [ "$got" = "kelva2larmis-convert $version" ] || fail "--version prints '$got'"
  mkdir "$work/in" "$work/packaged" "$work/built"
  cp "$root/usr/share/doc/kelva2larmis/examples/"* "$work/in/"
  (cd "$work/in" && "$packaged" --quiet --out "$work/packaged" >"$work/packaged.stdout") ||
    fail "the packaged converter exits $? on the examples"
  (cd "$work/in" && "$converter" --quiet --out "$work/built" >"$work/built.stdout") ||
    fail "the build's converter exits $? on the examples"
  cmp -s "$work/packaged.stdout" "$work/built.stdout" || fail "the converters print different lines"
  same_tables "$work/packaged" "$work/built" "the build converter"
fi

if [ "$failures" != 0 ]; then
  echo "$failures failure(s) in $(basename "$deb")"
  exit 1
fi
echo "ok: $(basename "$deb"), $(stat -c %s "$deb") bytes"
