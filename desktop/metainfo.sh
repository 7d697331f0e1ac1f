#!/usr/bin/env bash
# metainfo.sh TEMPLATE CHANGELOG.md VERSION OUT: writes the AppStream metainfo, its
# <!-- releases --> line replaced by one <release> for each release of the changelog,
# newest first, each bullet one item. [Unreleased] becomes VERSION, a development
# release dated SOURCE_DATE_EPOCH (or today); "## [1.2.0] - 2027-01-31" gives its own.
# The changelog is read by tools/changelog.awk.
set -euo pipefail
template=$1 changelog=$2 version=$3 out=$4
epoch=${SOURCE_DATE_EPOCH:-$(date +%s)}
today=$(date -u -d "@$epoch" +%F)
export LC_ALL=C.UTF-8

releases=$(awk -f "$(dirname "$0")/../tools/changelog.awk" "$changelog" |
  awk -F '\t' -v version="$version" -v today="$today" '
  function escape(text) {
    gsub(/&/, "\\&amp;", text); gsub(/</, "\\&lt;", text); gsub(/>/, "\\&gt;", text)
    gsub(/`/, "", text)
    return text
  }
  function close_release() {
    if (open) print "        </ul>\n      </description>\n    </release>"
    open = 0
  }
  $1 == "release" {
    close_release()
    if ($2 == "Unreleased")
      printf "    <release version=\"%s\" date=\"%s\" type=\"development\">\n", version, today
    else
      printf "    <release version=\"%s\" date=\"%s\">\n", $2, $3
    print "      <description>\n        <ul>"
    open = 1
  }
  $1 == "item" { printf "          <li>%s</li>\n", escape(substr($0, 6)) }
  END { close_release() }
')

awk -v releases="$releases" '/<!-- releases -->/ { print releases; next } { print }' \
  "$template" >"$out"
