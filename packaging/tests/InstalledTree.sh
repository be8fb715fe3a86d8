#!/bin/sh
# InstalledTree.sh PREFIX BINDIR LIBDIR DATADIR MANDIR EXAMPLE HAS_VIEW HAS_QORVEX BUILD
# The tree `cmake --install` left under PREFIX: every file in its place, the
# programs and libraries find each other without the build tree, and the
# installed console tools round-trip the example from an unrelated folder.
set -u
prefix=$1 bin=$1/$2 lib=$1/$3 data=$1/$4 man=$1/$5 example=$6 has_view=$7 has_qorvex=$8 build=$9
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
need() { for f in "$@"; do [ -e "$f" ] || fail "missing ${f#"$prefix"/}"; done; }

icons() {  # icons NAME CONTEXT
  for size in 16 22 24 32 48 64 128 256; do need "$data/icons/hicolor/${size}x$size/$2/$1.png"; done
  need "$data/icons/hicolor/scalable/$2/$1.svg"
}

need "$bin/MvrCnstr" "$bin/MvrRecn" "$bin/mvr" "$man/man1/mvr.1.gz" "$man/man1/MvrCnstr.1.gz" "$man/man1/MvrRecn.1.gz" \
     "$lib/libTarvoCore.so" "$lib/pkgconfig/tarvocore.pc" "$lib/cmake/Mendivar/MendivarConfig.cmake" \
     "$prefix/include/mendivar/TarvoCore.h" "$prefix/include/mendivar/TarvoTypes.h" \
     "$data/mime/packages/mendivar.xml"
icons application-x-mendivar mimetypes
if [ "$has_view" = 1 ]; then
  need "$bin/MvrView" "$data/applications/org.mendivar.MvrView.desktop" "$data/metainfo/org.mendivar.MvrView.metainfo.xml" "$man/man1/MvrView.1.gz"
  icons mvrview apps
fi
if [ "$has_qorvex" = 1 ]; then
  need "$bin/Qorvex" "$data/applications/org.mendivar.Qorvex.desktop" "$data/metainfo/org.mendivar.Qorvex.metainfo.xml" "$man/man1/Qorvex.1.gz"
  icons qorvex apps
fi

# Every program and library resolves its libraries inside the installed
# tree (or the system), through a RUNPATH relative to itself.
for f in "$bin"/* "$lib"/lib*.so; do
  runpath=$(readelf -d "$f" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
  case $runpath in
    *"$build/lib"*) fail "${f##*/} still looks in the build tree: $runpath" ;;
    '$ORIGIN'*) ;;
    *) fail "${f##*/} has no RUNPATH relative to itself: '$runpath'" ;;
  esac
  deps=$(env -u LD_LIBRARY_PATH ldd "$f")
  echo "$deps" | grep -q "not found" && fail "${f##*/}: $(echo "$deps" | grep "not found")"
  echo "$deps" | grep -q "$build/lib/" && fail "${f##*/} loads from the build tree"
done

# The installed tools, run from elsewhere, on copies of the example.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$example/original.txt" "$example/modified.txt" "$work/"
cd "$work" || exit 1
env -u LD_LIBRARY_PATH "$bin/MvrCnstr" original.txt modified.txt pair.mvr </dev/null >cnstr.out ||
  fail "MvrCnstr exited with $?: $(cat cnstr.out)"
env -u LD_LIBRARY_PATH "$bin/MvrRecn" pair.mvr original.txt rebuilt.txt </dev/null >recn.out ||
  fail "MvrRecn exited with $?: $(cat recn.out)"
cmp -s modified.txt rebuilt.txt || fail "rebuilt.txt differs from modified.txt"
grep -q "Successful completion" recn.out || fail "MvrRecn did not report success: $(cat recn.out)"

# `man MvrRecn` finds the installed page.
MANPATH=$man man -P cat MvrRecn 2>/dev/null | grep -q "MvrRecn MvrFile" ||
  fail "man MvrRecn does not show the installed page"

[ $failures -eq 0 ] && echo "installed tree under $prefix is complete"
exit $((failures != 0))
