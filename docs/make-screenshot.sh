#!/bin/sh
# docs/make-screenshot.sh [BUILD]: re-makes docs/qorvex-main.png.
# Qorvex from BUILD (default build/) runs under a virtual X server in a
# scratch root that looks like an ordinary user's machine: the usual
# top-level folders and one home, /home/ann, with the usual folders in it, so
# the tree shows nothing of the machine the picture is made on.
# Needs root (a private mount namespace and chroot), xvfb, xdotool and the
# Qt development files (for grab-window.cpp).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

cd "$root"
mkdir -p boot dev etc home media mnt opt proc root run srv sys tmp usr var/lib/xkb
chmod 1777 tmp
for link in bin lib lib64 sbin; do ln -s "usr/$link" "$link"; done
cmake --install "$build" --prefix "$root/opt/mendivar" >/dev/null
c++ -std=c++20 -fPIC "$here/grab-window.cpp" -o root/grab $(pkg-config --cflags --libs Qt6Gui)
# The scene: the new build marked as the modified file, the old one chosen as
# the original (keys as in the README), the fields then name all three files.
cat >root/scene <<'SCENE'
xdotool windowsize "$window" 1024 760
sleep 1
xdotool mousemove --window "$window" 300 132 click 1
xdotool key space
xdotool mousemove --window "$window" 300 114 click 1
xdotool key shift+space
SCENE

ann=home/ann
mkdir -p "$ann/Desktop" "$ann/Documents/Letters" "$ann/Downloads" "$ann/Music" "$ann/Pictures/Holidays" \
         "$ann/Projects/router" "$ann/Projects/website" "$ann/Public" "$ann/Templates" "$ann/Videos"
fw=$ann/Projects/router
head -c 1368894 /dev/urandom >"$fw/fw-2.3.img"
{ head -c 700000 "$fw/fw-2.3.img"; head -c 20739 /dev/urandom; tail -c +700001 "$fw/fw-2.3.img"; } >"$fw/fw-2.4.img"
printf 'Router firmware builds\n\n2.4: new radio table\n' >"$fw/README.txt"
printf '2.4  new radio table\n2.3  first public build\n' >"$fw/CHANGES.txt"
touch -d '2026-11-02 09:14' "$fw/fw-2.3.img" "$fw/CHANGES.txt"
touch -d '2026-12-08 16:40' "$fw/fw-2.4.img" "$fw/README.txt"

unshare -m sh -ec '
  root=$1
  mount --rbind /usr "$root/usr"
  mount --bind /etc "$root/etc"
  mount --rbind /dev "$root/dev"
  mount -t proc proc "$root/proc"
  exec chroot "$root" env -i PATH=/usr/bin:/bin HOME=/home/ann/Projects/router USER=ann \
    XDG_CONFIG_HOME=/tmp/config XDG_RUNTIME_DIR=/tmp/runtime LANG=C.UTF-8 QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x900x24" sh -ec "
      mkdir -p -m 700 /tmp/runtime
      cd /home/ann/Projects/router
      /opt/mendivar/bin/Qorvex &
      window=\$(xdotool search --sync --onlyvisible --name Mendivar | head -n 1)
      sleep 3
      . /root/scene
      sleep 1
      /root/grab \$window /tmp/qorvex-main.png
      kill \$!
    "
' shot "$root"
cp "$root/tmp/qorvex-main.png" "$here/qorvex-main.png"
