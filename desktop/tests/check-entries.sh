#!/bin/sh
# check-entries.sh DESKTOP_DIR VERSION: the menu entries and the AppStream
# entries pass their own checkers; each AppStream entry launches the desktop
# entry of its own id and names this version as its newest release; both
# programs open
# our MIME type, and a desktop that goes by its default picks MvrView for it
# (otherwise a double click on a difference file starts Qorvex or something
# else).
set -u
dir=$1 version=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
qorvex=$dir/org.mendivar.Qorvex.desktop viewer=$dir/org.mendivar.MvrView.desktop

desktop-file-validate "$qorvex" "$viewer" || fail "desktop-file-validate"
for metainfo in "$dir"/*.metainfo.xml; do
  name=${metainfo##*/}
  appstreamcli validate --no-net "$metainfo" >/dev/null || {
    appstreamcli validate --no-net "$metainfo"
    fail "appstreamcli validate $name"
  }
  launched=$(sed -n 's/.*<launchable type="desktop-id">\(.*\)<\/launchable>.*/\1/p' "$metainfo")
  [ -f "$dir/$launched" ] || fail "$name launches '$launched', which is not one of ours"
  id=$(sed -n 's/.*<id>\(.*\)<\/id>.*/\1/p' "$metainfo")
  [ "$launched" = "$id.desktop" ] || fail "$name: AppStream id $id and desktop id $launched differ"
  newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
  [ "$newest" = "$version" ] || fail "$name: the newest release is $newest, the project is $version"
done

type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$dir/mendivar.xml")
for entry in "$qorvex" "$viewer"; do
  grep -qx "MimeType=$type;" "$entry" || fail "${entry##*/} does not open $type"
done

# GLib's choice with no user or system defaults: the programs must be on
# PATH for it to offer them at all.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/applications" "$work/bin" "$work/home"
cp "$qorvex" "$viewer" "$work/applications/"
for program in Qorvex MvrView; do printf '#!/bin/sh\n' >"$work/bin/$program"; chmod +x "$work/bin/$program"; done
update-desktop-database "$work/applications"
default=$(env -i HOME="$work/home" XDG_DATA_HOME="$work/home" XDG_CONFIG_HOME="$work/home" \
  XDG_CONFIG_DIRS="$work/none" XDG_DATA_DIRS="$work" PATH="$work/bin:/usr/bin:/bin" \
  gio mime "$type" | sed -n 's/^Default application for .*: //p')
[ "$default" = "${viewer##*/}" ] || fail "the default application for $type is '$default', not ${viewer##*/}"

exit $((failures != 0))
