#!/bin/sh
# Consumer.sh CMAKE CC CXX STAGE PREFIX LIBDIR SOURCE WORK EXAMPLE HAS_QT BUILD
# Programs of other people against the tree installed for PREFIX into the
# DESTDIR STAGE: through find_package(Mendivar) with and without components
# and Qt, and through pkg-config, in C++ and C; then through pkg-config
# against an install of BUILD under another prefix. Each program that is
# built round-trips the example.
set -u
cmake=$1 cc=$2 cxx=$3 stage=$4 installed=$5 libdir=$6 source=$7 work=$8 example=$9 has_qt=${10} build=${11}
prefix=$stage$installed
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
rm -rf "$work"
mkdir -p "$work"

run() {  # run NAME PROGRAM...: the example's round trip through each program
  name=$1
  shift
  for program in "$@"; do
    out="$work/$name-run-${program##*/}"
    mkdir -p "$out"
    env -u LD_LIBRARY_PATH "$program" "$example/original.txt" "$example/modified.txt" "$out" ||
      fail "$name: ${program##*/} did not round-trip the example"
  done
}

# consumer NAME EXPECT COMPONENTS [CMAKE OPTIONS...]: configure (and, when
# EXPECT is "builds", build and run) the consumer project.
consumer() {
  name=$1 expect=$2 components=$3
  shift 3
  dir="$work/$name"
  if "$cmake" -S "$source" -B "$dir" -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
       -DCMAKE_PREFIX_PATH="$prefix" -DMVR_COMPONENTS="$components" "$@" >"$dir.log" 2>&1; then
    case $expect in
      fails) fail "$name: find_package(Mendivar COMPONENTS $components) was found" ;;
      finds) ;;
      builds)
        if "$cmake" --build "$dir" >>"$dir.log" 2>&1; then
          run "$name" "$dir/consumer" "$dir/consumer_c"
        else
          cat "$dir.log"
          fail "$name: the consumer did not build"
        fi ;;
    esac
  else
    [ "$expect" = fails ] || { cat "$dir.log"; fail "$name: find_package(Mendivar COMPONENTS $components) failed"; }
  fi
}

#        name             expect  components          options
consumer default          builds  ""
consumer core-without-qt  builds  "TarvoCore"         -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON
consumer plain-three      finds   "TarvoCore;TarvoFileLib;MvrFileInfo" -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON
consumer unknown          fails   "NoSuchPart"
if [ "$has_qt" = 1 ]; then
  consumer qt-parts       finds   "TarvoEngine;MvrFind;TarvoVOb"
  consumer qt-absent      fails   "TarvoVOb"          -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON
fi

# Every installed header stands alone: it includes nothing that stayed
# behind. (Those that include Qt would need its flags; they are left out.)
for header in $(cd "$prefix/include/mendivar" && find . -name '*.h' | sort); do
  grep -q '^#include <Q' "$prefix/include/mendivar/$header" && continue
  echo "#include \"$header\"" | "$cxx" -std=c++20 -fsyntax-only -Werror -I"$prefix/include/mendivar" -x c++ - ||
    fail "the installed ${header#./} does not compile on its own"
done

# pkg-config, with the stage as the root the prefix lies under.
export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig" PKG_CONFIG_SYSROOT_DIR="$stage"
flags=$(pkg-config --cflags --libs tarvocore) || fail "pkg-config does not know tarvocore"
rpath=$prefix/$libdir
case " $flags " in
  *" -L$rpath "*) ;;
  *) fail "pkg-config's -L is not $rpath: $flags" ;;
esac
"$cxx" -std=c++20 -Wall -Wextra -Werror "$source/main.cpp" $flags -Wl,-rpath,"$rpath" -o "$work/pkg-config-consumer" ||
  fail "pkg-config: the C++ consumer did not build"
"$cc" -std=c11 -Wall -Wextra -Wpedantic -Werror "$source/main.c" $flags -Wl,-rpath,"$rpath" -o "$work/pkg-config-consumer-c" ||
  fail "pkg-config: the C consumer did not build"
run pkg-config "$work/pkg-config-consumer" "$work/pkg-config-consumer-c"

# `cmake --install --prefix` elsewhere: the pkg-config file names that prefix.
elsewhere="$work/elsewhere"
"$cmake" --install "$build" --prefix "$elsewhere" >"$work/elsewhere.log" 2>&1 || { cat "$work/elsewhere.log"; fail "install under $elsewhere"; }
unset PKG_CONFIG_SYSROOT_DIR
export PKG_CONFIG_PATH="$elsewhere/$libdir/pkgconfig"
if flags=$(pkg-config --cflags --libs tarvocore) &&
   "$cc" -std=c11 -Werror "$source/main.c" $flags -Wl,-rpath,"$elsewhere/$libdir" -o "$work/elsewhere-consumer-c"; then
  run elsewhere "$work/elsewhere-consumer-c"
else
  fail "pkg-config against the install under $elsewhere: $flags"
fi

[ $failures -eq 0 ] && echo "find_package(Mendivar) and pkg-config tarvocore: built, constructed and reconstructed"
exit $((failures != 0))
