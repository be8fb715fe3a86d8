#!/bin/sh
# Shows the Main Interface in Multiple Files mode over a folder of real files,
# with an original, queued rows and marks, under a virtual X server, and
# keeps a picture of the whole screen for a person to look at.
#   ScreenShot.sh DEMO MVRCNSTR WORKDIR
set -eu
demo=$1 cnstr=$2 work=$3
rm -rf "$work" && mkdir -p "$work/Release 2.1/docs" "$work/Release 2.1/tools"
dir="$work/Release 2.1"
head -c 180000 /dev/urandom > "$dir/firmware-2.0.bin"
cp "$dir/firmware-2.0.bin" "$dir/firmware-2.1.bin"
printf 'patched block\n' | dd of="$dir/firmware-2.1.bin" bs=1 seek=4096 conv=notrunc 2>/dev/null
head -c 64000 /dev/urandom > "$dir/bootloader.img"
seq 1 4000 > "$dir/changelog.txt"
seq 1 200 > "$dir/notes.md"
printf 'key=value\n' > "$dir/settings.conf"
printf 'hidden\n' > "$dir/.cache-index"
"$cnstr" "$dir/firmware-2.0.bin" "$dir/firmware-2.1.bin" "$dir/firmware-2.1.bin.mvr" </dev/null >/dev/null
touch -d '2026-11-03 09:15' "$dir/firmware-2.0.bin" "$dir/notes.md"

xvfb-run -a -s "-screen 0 980x640x24" sh -c "
  '$demo' --folder '$dir' --multiple --original firmware-2.0.bin \
          --queue firmware-2.1.bin,bootloader.img,changelog.txt --mark notes.md,settings.conf \
          --grab '$work/window.png' &
  pid=\$!
  sleep 1.2
  command -v import >/dev/null && import -window root '$work/screen.png' || true
  wait \$pid
"
test -s "$work/window.png"
echo "pictures in $work"
