#!/bin/sh
# Package.sh CPACK BUILD OUT HAS_VIEW
# Builds the Debian package from the build tree, checks its dependencies
# and contents, then installs it into a scratch root with dpkg and removes it
# again: the removal must leave nothing behind.
set -u
cpack=$1 build=$2 out=$3 has_view=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$out"
mkdir -p "$out"
"$cpack" --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
  { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/mendivar_*.deb) || exit 1

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for p in libc6 zlib1g libstorm9; do
  echo "$depends" | grep -q "\b$p\b" || fail "Depends lacks $p"
done
[ "$has_view" = 1 ] && { echo "$depends" | grep -q libqt6widgets6 || fail "Depends lacks libqt6widgets6"; }

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
echo "$contents" | grep -v '^\./usr/' | grep -v '^\./$' | sed 's/^/outside \/usr: /' | grep . && fail "files outside /usr"
for f in bin/MvrCnstr bin/MvrRecn share/man/man1/MvrRecn.1.gz share/mime/packages/mendivar.xml include/mendivar/TarvoCore.h; do
  echo "$contents" | grep -q "^\./usr/$f\$" || fail "package lacks /usr/$f"
done

# dpkg -i and dpkg -r, into a root of its own.
root="$out/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
: >"$root/var/lib/dpkg/status"
# The package's scripts run ldconfig; the host's cache is not this test's business.
mkdir -p "$out/shim"
printf '#!/bin/sh\nexit 0\n' >"$out/shim/ldconfig"
chmod +x "$out/shim/ldconfig"
PATH="$out/shim:$PATH"
dpkg="dpkg --root=$root --force-not-root --force-depends --force-script-chrootless --log=/dev/null"
$dpkg -i "$deb" >"$out/dpkg.log" 2>&1 || { cat "$out/dpkg.log"; fail "dpkg -i failed"; }
[ -x "$root/usr/bin/MvrRecn" ] || fail "MvrRecn not installed"
$dpkg -r mendivar >>"$out/dpkg.log" 2>&1 || { cat "$out/dpkg.log"; fail "dpkg -r failed"; }
left=$(cd "$root" && find . -path ./var -prune -o ! -type d -print)
[ -z "$left" ] || fail "left behind after dpkg -r: $left"
[ -d "$root/usr" ] && fail "dpkg -r left folders: $(cd "$root" && find usr | head)"

[ $failures -eq 0 ] && echo "$(basename "$deb") builds, installs and removes cleanly"
exit $((failures != 0))
