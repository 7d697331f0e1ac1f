#!/usr/bin/env bash
# metainfo.sh TEMPLATE CHANGELOG.md VERSION OUT: writes the AppStream metainfo, its
# <!-- releases --> line replaced by one <release> for each release of the changelog,
# newest first, each bullet one item. [Unreleased] becomes VERSION, a development
# release dated SOURCE_DATE_EPOCH (or today); "## [1.2.0] - 2027-01-31" gives its own.
set -euo pipefail
template=$1 changelog=$2 version=$3 out=$4
epoch=${SOURCE_DATE_EPOCH:-$(date +%s)}
today=$(date -u -d "@$epoch" +%F)

releases=$(LC_ALL=C.UTF-8 awk -v version="$version" -v today="$today" '
  function escape(text) {
    gsub(/&/, "\\&amp;", text); gsub(/</, "\\&lt;", text); gsub(/>/, "\\&gt;", text)
    gsub(/`/, "", text)
    return text
  }
  function flush() {
    if (item != "") printf "          <li>%s</li>\n", escape(item)
    item = ""
  }
  function close_release() {
    flush()
    if (open) print "        </ul>\n      </description>\n    </release>"
    open = 0
  }
  /^## \[/ {
    close_release()
    name = $0; sub(/^## \[/, "", name); sub(/\].*/, "", name)
    day = $0; sub(/^## \[[^]]*\] *-? */, "", day)
    if (name == "Unreleased")
      printf "    <release version=\"%s\" date=\"%s\" type=\"development\">\n", version, today
    else
      printf "    <release version=\"%s\" date=\"%s\">\n", name, day
    print "      <description>\n        <ul>"
    open = 1
    next
  }
  !open { next }
  /^- / { flush(); item = substr($0, 3); next }
  /^  +[^ ]/ && item != "" { line = $0; sub(/^ +/, "", line); item = item " " line; next }
  { flush() }
  END { close_release() }
' "$changelog")

awk -v releases="$releases" '/<!-- releases -->/ { print releases; next } { print }' \
  "$template" >"$out"
