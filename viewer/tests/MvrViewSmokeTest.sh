#!/bin/sh
# Starts MvrView under a virtual X server and waits for its windows to be
# mapped with the right captions: on a real difference file, and without one.
# usage: MvrViewSmokeTest.sh MVRVIEW MVRCNSTR WORKDIR
set -eu
view=$1 cnstr=$2 work=$3

rm -rf "$work"
mkdir -p "$work/with space"
seq 1 300 > "$work/with space/original.txt"
{ seq 1 150; echo changed; seq 151 300; } > "$work/with space/modified.txt"
delta="$work/with space/modified.txt.mvr"
"$cnstr" "$work/with space/original.txt" "$work/with space/modified.txt" "$delta" </dev/null >/dev/null

# -noreset: by default the server resets whenever its last client leaves,
# and a client that connects just then (the next xwininfo, the second
# viewer) is turned away.
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" sh -ec '
  # shows TITLE COMMAND...: runs the command and waits (60 s at most, a hang
  # guard) for a mapped window with that title.
  shows() {
    title=$1
    shift
    "$@" &
    pid=$!
    for _ in $(seq 1 600); do
      if xwininfo -name "$title" 2>/dev/null | grep -q "Map State: IsViewable"; then
        kill $pid 2>/dev/null || true
        wait $pid 2>/dev/null || true
        echo "shown: \"$title\""
        return 0
      fi
      kill -0 $pid 2>/dev/null || break
      sleep 0.1
    done
    echo "no window \"$title\"; windows there:" >&2
    xwininfo -root -tree >&2 || true
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
    return 1
  }
  view=$1 delta=$2
  # The path goes in unquoted, as the GUI passes it: the viewer must join
  # the words back into the one name.
  shows "Difference File - $delta" "$view" $delta
  # Without a file it says how to call it.
  shows "MvrView" "$view"
' smoke "$view" "$delta"
