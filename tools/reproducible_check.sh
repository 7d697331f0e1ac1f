#!/usr/bin/env bash
# reproducible_check.sh: builds the package twice, from two fresh clones of this commit
# at two different paths, one after the other, and fails unless the two .deb files are
# the same bytes. On a difference it says which files of the packages differ.
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d /tmp/knotwerry-twice-XXXXXX)
trap 'rm -rf "$work"' EXIT
for clone in first "second/at/another/depth"; do
  git clone --quiet "$PWD" "$work/$clone"
  echo "== make package in $work/$clone"
  make -C "$work/$clone" package >"$work/${clone//\//-}.log" 2>&1 ||
    { cat "$work/${clone//\//-}.log"; exit 1; }
done

first=$(echo "$work"/first/build/knotwerry_*.deb)
second=$(echo "$work"/second/at/another/depth/build/knotwerry_*.deb)
if cmp -s "$first" "$second"; then
  echo "reproducible_check: both builds made $(basename "$first"), $(sha256sum <"$first" | cut -c1-16)…, byte for byte"
  exit 0
fi

echo "reproducible_check: the two packages differ" >&2
for deb in "$first" "$second"; do
  mkdir -p "$deb.x/DEBIAN"
  dpkg-deb -x "$deb" "$deb.x"
  dpkg-deb -e "$deb" "$deb.x/DEBIAN"
done
diff <(dpkg-deb -c "$first") <(dpkg-deb -c "$second") >&2 || true
diff -r "$first.x" "$second.x" >&2 || true
exit 1
