#!/bin/sh
# The real Qorvex under a virtual X server, started with a difference file:
# it must rebuild the recorded modified file byte for byte on its own, and
# its window is photographed (when ImageMagick's import is there).
# usage: QorvexSmokeTest.sh QORVEX MVRCNSTR WORKDIR
set -eu
qorvex=$1 cnstr=$2 work=$3

rm -rf "$work"
mkdir -p "$work/files"
seq 1 20000 > "$work/files/original.txt"
{ seq 1 9000; echo "a changed line"; seq 9100 20000; } > "$work/files/modified.txt"
"$cnstr" "$work/files/original.txt" "$work/files/modified.txt" "$work/files/modified.txt.mvr" </dev/null >/dev/null
mv "$work/files/modified.txt" "$work/expected.txt"

QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x900x24 -noreset" sh -ec '
  qorvex=$1 work=$2
  "$qorvex" "$work/files/modified.txt.mvr" &
  pid=$!
  # 60 s at most: a hang guard.
  for _ in $(seq 1 600); do
    if [ -f "$work/files/modified.txt" ] && cmp -s "$work/files/modified.txt" "$work/expected.txt"; then
      sleep 1
      if command -v import >/dev/null; then import -window root "$work/qorvex.png"; fi
      kill $pid
      wait $pid 2>/dev/null || true
      echo "rebuilt: $work/files/modified.txt"
      exit 0
    fi
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  echo "Qorvex did not rebuild the file" >&2
  kill $pid 2>/dev/null || true
  exit 1
' smoke "$qorvex" "$work"
