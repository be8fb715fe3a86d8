#!/bin/sh
# Consumer.sh CMAKE CXX PREFIX LIBDIR SOURCE WORK EXAMPLE
# Builds the consumer program against the installed tree under PREFIX twice,
# once through find_package(Mendivar) and once through pkg-config, and runs
# both on the example.
set -eu
cmake=$1 cxx=$2 prefix=$3 libdir=$4 source=$5 work=$6 example=$7
rm -rf "$work"
mkdir -p "$work/cmake-run" "$work/pkg-config-run"

"$cmake" -S "$source" -B "$work/cmake" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_PREFIX_PATH="$prefix" >"$work/cmake.log" 2>&1 || { cat "$work/cmake.log"; exit 1; }
"$cmake" --build "$work/cmake" >>"$work/cmake.log" 2>&1 || { cat "$work/cmake.log"; exit 1; }
env -u LD_LIBRARY_PATH "$work/cmake/consumer" "$example/original.txt" "$example/modified.txt" "$work/cmake-run"
echo "find_package(Mendivar): built, constructed and reconstructed"

export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig"
flags=$(pkg-config --cflags --libs tarvocore)
rpath=$(pkg-config --variable=libdir tarvocore)
"$cxx" -std=c++20 -Wall -Wextra -Werror "$source/main.cpp" $flags -Wl,-rpath,"$rpath" -o "$work/pkg-config-consumer"
env -u LD_LIBRARY_PATH "$work/pkg-config-consumer" "$example/original.txt" "$example/modified.txt" "$work/pkg-config-run"
echo "pkg-config tarvocore: built, constructed and reconstructed"
