#!/usr/bin/env bash
# debian_changelog.sh CHANGELOG.md VERSION MAINTAINER OUT: writes the package's changelog
# to OUT, in Debian's format, from the project's: one entry for each release, newest first, each
# bullet of it one item. [Unreleased] becomes VERSION, dated SOURCE_DATE_EPOCH (or now);
# a release's own heading, "## [1.2.0] - 2027-01-31", gives its version and date.
set -euo pipefail
changelog=$1 version=$2 maintainer=$3 out=$4
epoch=${SOURCE_DATE_EPOCH:-$(date +%s)}

LC_ALL=C.UTF-8 awk -v version="$version" -v maintainer="$maintainer" -v epoch="$epoch" '
  function date_of(day,    command, out) {
    command = day == "" ? "date -u -R -d @" epoch : "date -u -R -d " day
    command | getline out
    close(command)
    return out
  }
  # One item, words wrapped to 78 columns: "  * " first, then four blanks.
  function flush(    words, n, i, line) {
    if (item == "") return
    n = split(item, words, " ")
    line = "  *"
    for (i = 1; i <= n; i++) {
      if (length(line) + 1 + length(words[i]) > 78) { print line; line = "   " }
      line = line " " words[i]
    }
    print line
    item = ""
  }
  function close_entry() {
    flush()
    if (open) printf "\n -- %s  %s\n", maintainer, when
    open = 0
  }
  /^## \[/ {
    close_entry()
    name = $0; sub(/^## \[/, "", name); sub(/\].*/, "", name)
    day = $0; sub(/^## \[[^]]*\] *-? */, "", day)
    if (entries++) print ""
    printf "knotwerry (%s) unstable; urgency=medium\n\n", name == "Unreleased" ? version : name
    when = date_of(name == "Unreleased" ? "" : day)
    open = 1
    next
  }
  !open { next }
  /^- / { flush(); item = substr($0, 3); next }
  /^  +[^ ]/ && item != "" { line = $0; sub(/^ +/, "", line); item = item " " line; next }
  { flush() }
  END { close_entry() }
' "$changelog" >"$out"
