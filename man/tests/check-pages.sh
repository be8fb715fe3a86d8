#!/bin/sh
# check-pages.sh GROFF PAGE...: fails when groff warns about any page or a
# page lacks one of the sections a reader looks for.
groff=$1
shift
status=0
for page in "$@"; do
  warnings=$("$groff" -man -Tutf8 -ww -z "$page" 2>&1)
  if [ -n "$warnings" ]; then
    echo "$page: $warnings"
    status=1
  fi
  for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" "SEE ALSO"; do
    grep -q "^\.SH \"\{0,1\}$section" "$page" || { echo "$page: no $section section"; status=1; }
  done
done
exit $status
