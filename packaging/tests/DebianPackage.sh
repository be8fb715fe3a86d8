#!/bin/sh
# DebianPackage.sh SOURCE OUT EXAMPLE
# Builds the packages exactly as `./setup.sh package` does, runs lintian on
# them as a Debian packager would (every error and warning fails, except the
# overrides the package carries, which must all still match), checks what the
# package holds, then installs it into a scratch dpkg root, round-trips the
# example with the installed tools and purges it: nothing may be left.
set -u
source=$1 out=$2 example=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$out"
mkdir -p "$out"
"$source/setup.sh" package "$out" >"$out/build.log" 2>&1 || { tail -n 40 "$out/build.log"; exit 1; }
deb=$(ls "$out"/mendivar_*.deb) || exit 1
changes=$(ls "$out"/mendivar_*.changes) || exit 1

# dpkg-shlibdeps only warns when it cannot read a library's name and
# version, or misses one; either way the dependencies may be wrong.
grep 'dpkg-shlibdeps: warning' "$out/build.log" && fail "dpkg-shlibdeps warns"

lintian --tag-display-limit 0 -I -E --pedantic "$changes" >"$out/lintian.log" 2>&1
grep -E '^[EW]: ' "$out/lintian.log" && fail "lintian reports errors or warnings"
grep -E 'unused-override|mismatched-override' "$out/lintian.log" && fail "an override no longer matches"

multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
private=usr/lib/$multiarch/mendivar
contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||')
for f in usr/bin/MvrCnstr usr/bin/MvrRecn usr/bin/mvr usr/share/man/man1/mvr.1.gz usr/share/bash-completion/completions/mvr usr/bin/MvrView usr/bin/Qorvex \
         "$private/libTarvoCore.so.0.1" usr/share/mime/packages/mendivar.xml \
         usr/share/applications/org.mendivar.Qorvex.desktop usr/share/applications/org.mendivar.MvrView.desktop \
         usr/share/metainfo/org.mendivar.Qorvex.metainfo.xml usr/share/metainfo/org.mendivar.MvrView.metainfo.xml \
         usr/share/man/man1/MvrRecn.1.gz \
         usr/share/doc/mendivar/copyright; do
  echo "$contents" | grep -qx "$f" || fail "the package lacks /$f"
done
# Private libraries: nothing to build against, nothing in the linker's folders.
echo "$contents" | grep -E "^usr/include/|/cmake/|/pkgconfig/|\.so$|^usr/lib/($multiarch/)?lib" &&
  fail "the package offers development files or public libraries"

# Debian's hardening reaches every program and library (lintian only
# mentions its absence): relocation read-only and bound at start, programs
# position-independent, the stack protector in.
unpacked="$out/unpacked"
dpkg-deb -x "$deb" "$unpacked"
for f in "$unpacked"/usr/bin/* "$unpacked/$private"/*; do
  name=${f#"$unpacked"/}
  readelf -dW "$f" | grep -q 'FLAGS.*BIND_NOW' || fail "$name is not linked with -z now"
  readelf -lW "$f" | grep -q GNU_RELRO || fail "$name is not linked with -z relro"
  readelf -sW --dyn-syms "$f" | grep -q __stack_chk_fail || fail "$name is built without the stack protector"
done
for f in "$unpacked"/usr/bin/*; do
  readelf -hW "$f" | grep -q 'Type:.*DYN' || fail "${f##*/} is not position-independent"
done

# Install, use, purge, in a root of its own (its dependencies are the host's).
root="$out/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
: >"$root/var/lib/dpkg/status"
dpkg="dpkg --root=$root --force-not-root --force-depends --force-script-chrootless --log=/dev/null"
$dpkg -i "$deb" >"$out/dpkg.log" 2>&1 || { cat "$out/dpkg.log"; fail "dpkg -i failed"; }
work="$out/run"
mkdir -p "$work"
cp "$example/original.txt" "$example/modified.txt" "$work/"
(cd "$work" && env -u LD_LIBRARY_PATH "$root/usr/bin/MvrCnstr" original.txt modified.txt pair.mvr </dev/null >cnstr.out &&
  env -u LD_LIBRARY_PATH "$root/usr/bin/MvrRecn" pair.mvr original.txt rebuilt.txt </dev/null >recn.out) ||
  fail "the installed tools did not round-trip the example: $(cat "$work"/*.out)"
cmp -s "$work/modified.txt" "$work/rebuilt.txt" || fail "rebuilt.txt differs from modified.txt"
# The message comes from the core's table, found in its private, versioned file.
grep -q "Successful completion" "$work/recn.out" || fail "MvrRecn did not report success: $(cat "$work/recn.out")"
for f in "$root/usr/bin/Qorvex" "$root/usr/bin/MvrView"; do
  env -u LD_LIBRARY_PATH ldd "$f" | grep "not found" && fail "${f##*/} misses a library"
done
$dpkg -P mendivar >>"$out/dpkg.log" 2>&1 || { cat "$out/dpkg.log"; fail "dpkg -P failed"; }
left=$(cd "$root" && find . -path ./var -prune -o ! -type d -print)
[ -z "$left" ] || fail "left behind after dpkg -P: $left"
[ -d "$root/usr" ] && fail "dpkg -P left folders: $(cd "$root" && find usr | head)"

[ $failures -eq 0 ] && echo "$(basename "$deb"): lintian accepts it, it installs, works and purges cleanly"
exit $((failures != 0))
