#!/usr/bin/env bash
# lintian finds no error in the Debian package; its warnings and notes are printed for the log.
#   deb_lintian.sh PACKAGE_DIR
set -euo pipefail
packages=$1
if ! command -v lintian >/dev/null; then
  echo "skipped: lintian is not installed (scripts/deps installs it)"
  exit 77
fi
debs=("$packages"/*.deb)
if [ ${#debs[@]} != 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: expected one .deb in $packages, found: ${debs[*]}"
  exit 1
fi
# lintian's own exit status also counts warnings; the tags are read instead. (Its note about
# running as root goes to stderr and is dropped.)
report=$(lintian --info --display-info --fail-on none "${debs[0]}" 2>/dev/null)
tags=$(grep -E '^[EWIP]: ' <<<"$report" || true)
echo "${tags:-no tags}"
if grep -q '^E: ' <<<"$tags"; then
  echo "FAIL: lintian reports errors"
  exit 1
fi
