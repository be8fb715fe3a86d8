#!/bin/sh
# check-entries.sh VALIDATE DESKTOP_DIR: the menu entries pass the desktop's
# own checker, and MvrView claims the type our MIME file defines (otherwise
# a double click on a difference file opens something else).
set -u
validate=$1 dir=$2
"$validate" "$dir/Qorvex.desktop" "$dir/MvrView.desktop" || exit 1
type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$dir/mendivar.xml")
grep -qx "MimeType=$type;" "$dir/MvrView.desktop" || {
  echo "MvrView.desktop does not open $type"
  exit 1
}
