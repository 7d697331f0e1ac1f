# changelog.awk: reads CHANGELOG.md's releases for the files drawn from it (the
# metainfo's releases, the Debian package's changelog), newest first, one record a line:
#   release<TAB>NAME<TAB>DATE   "## [NAME] - DATE"; "## [Unreleased]" has no date
#   item<TAB>TEXT               one bullet of that release, its wrapped lines joined
# Headings inside a release and other lines end an item and are otherwise skipped.
function flush() {
  if (item != "") printf "item\t%s\n", item
  item = ""
}
/^## \[/ {
  flush()
  name = $0; sub(/^## \[/, "", name); sub(/\].*/, "", name)
  day = $0; sub(/^## \[[^]]*\] *-? */, "", day)
  printf "release\t%s\t%s\n", name, day
  open = 1
  next
}
!open { next }
/^- / { flush(); item = substr($0, 3); next }
/^  +[^ ]/ && item != "" { line = $0; sub(/^ +/, "", line); item = item " " line; next }
{ flush() }
END { flush() }
