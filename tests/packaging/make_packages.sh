#!/usr/bin/env bash
# Makes the packages of a finished build with cpack, into a folder of their own that holds nothing
# else afterwards (the tests that follow find them there by their extension).
#   make_packages.sh CPACK_CONFIG OUT_DIR GENERATOR...
# Exits 77 (skipped) with one line why when a tool a generator needs is missing.
set -euo pipefail
config=$1 out=$2
shift 2

for generator in "$@"; do
  case $generator in
    DEB) tools="dpkg-deb dpkg-shlibdeps" ;;
    NSIS) tools=makensis ;;
    ZIP) tools="" ;;
  esac
  for tool in $tools; do
    if ! command -v "$tool" >/dev/null; then
      echo "skipped: $tool is not installed (scripts/deps installs it)"
      exit 77
    fi
  done
done

rm -rf "$out"
mkdir -p "$out"
generators=$(IFS=';' && echo "$*")
if ! cpack --config "$config" -G "$generators" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  exit 1
fi
# The installer's script stays for the tests that read what it says.
find "$out/_CPack_Packages" -name project.nsi -exec cp {} "$out/" \;
rm -rf "$out/_CPack_Packages"
ls -l "$out"
