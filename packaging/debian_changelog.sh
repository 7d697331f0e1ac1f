#!/usr/bin/env bash
# debian_changelog.sh CHANGELOG.md VERSION MAINTAINER OUT: writes the package's changelog
# to OUT, in Debian's format, from the project's: one entry for each release, newest first, each
# bullet of it one item. [Unreleased] becomes VERSION, dated SOURCE_DATE_EPOCH (or now);
# a release's own heading, "## [1.2.0] - 2027-01-31", gives its version and date. The
# changelog is read by tools/changelog.awk.
set -euo pipefail
changelog=$1 version=$2 maintainer=$3 out=$4
epoch=${SOURCE_DATE_EPOCH:-$(date +%s)}
export LC_ALL=C.UTF-8

awk -f "$(dirname "$0")/../tools/changelog.awk" "$changelog" |
  awk -F '\t' -v version="$version" -v maintainer="$maintainer" -v epoch="$epoch" '
  function date_of(day,    command, out) {
    command = day == "" ? "date -u -R -d @" epoch : "date -u -R -d " day
    command | getline out
    close(command)
    return out
  }
  # One item, words wrapped to 78 columns: "  * " first, then four blanks.
  function wrap(item,    words, n, i, line) {
    n = split(item, words, " ")
    line = "  *"
    for (i = 1; i <= n; i++) {
      if (length(line) + 1 + length(words[i]) > 78) { print line; line = "   " }
      line = line " " words[i]
    }
    print line
  }
  function close_entry() {
    if (open) printf "\n -- %s  %s\n", maintainer, when
    open = 0
  }
  $1 == "release" {
    close_entry()
    if (entries++) print ""
    printf "knotwerry (%s) unstable; urgency=medium\n\n", $2 == "Unreleased" ? version : $2
    when = date_of($2 == "Unreleased" ? "" : $3)
    open = 1
  }
  $1 == "item" { wrap(substr($0, 6)) }
  END { close_entry() }
' >"$out"
