#!/usr/bin/env bash
# Installs what is missing, builds, and then either runs the bundled example
# round trip (./setup.sh example), the whole test suite (./setup.sh test), or
# builds the Debian packages into build-deb/ (./setup.sh package [FOLDER]).
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

packages=(g++ cmake ninja-build pkg-config zlib1g-dev libisal-dev libdeflate-dev libgtest-dev libstorm-dev
          qt6-base-dev xvfb xauth x11-utils
          librsvg2-bin gzip groff-base man-db desktop-file-utils shared-mime-info appstream libglib2.0-bin
          dpkg-dev file binutils ccache)

# What building and checking the Debian packages needs on top (their build
# dependencies are debian/control's, which the list above already holds);
# the test suite builds them too.
package_tools=(debhelper lintian)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build DIR [cmake options...] [-- targets...]
build() {
  local dir=$1 options=() targets=()
  shift
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
  [ $# -gt 0 ] && shift && targets=(--target "$@")
  cmake -S "$root" -B "$root/$dir" -G Ninja "${options[@]}" >/dev/null
  cmake --build "$root/$dir" -j2 "${targets[@]}"
}

# The main build compiles with the flags the Debian package is built with
# (dpkg-buildflags with debian/rules' options, build type None, as debhelper
# passes them), through ccache: the package test's dpkg-buildpackage then
# finds every object of the programs already compiled instead of compiling
# them all a second time.
main_build_options() {
  local maint cppflags ldflags
  maint=$(sed -n 's/^export DEB_BUILD_MAINT_OPTIONS *= *//p' "$root/debian/rules")
  flag() { DEB_BUILD_MAINT_OPTIONS=$maint dpkg-buildflags --get "$1"; }
  cppflags=$(flag CPPFLAGS)
  ldflags=$(flag LDFLAGS)
  main_options=(-DCMAKE_BUILD_TYPE=None
                "-DCMAKE_C_FLAGS=$(flag CFLAGS) $cppflags" "-DCMAKE_CXX_FLAGS=$(flag CXXFLAGS) $cppflags"
                "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" "-DCMAKE_SHARED_LINKER_FLAGS=$ldflags"
                "-DCMAKE_MODULE_LINKER_FLAGS=$ldflags"
                "-DCMAKE_C_COMPILER_LAUNCHER=$root/cmake/ccache-launch"
                "-DCMAKE_CXX_COMPILER_LAUNCHER=$root/cmake/ccache-launch")
}

run_example() {
  local out="$root/build/example"
  rm -rf "$out" && mkdir -p "$out"
  cp example/original.txt example/modified.txt "$out/"
  local bin="$root/build/bin"
  "$bin/MvrCnstr" "$out/original.txt" "$out/modified.txt" "$out/modified.txt.mvr" </dev/null
  echo
  "$bin/MvrRecn" "$out/modified.txt.mvr" "$out/original.txt" "$out/rebuilt.txt" </dev/null
  echo
  ls -l "$out"
  if cmp -s "$out/modified.txt" "$out/rebuilt.txt"; then
    echo "rebuilt.txt is identical to modified.txt"
  else
    echo "rebuilt.txt differs from modified.txt" >&2
    exit 1
  fi
}

# Builds the binary packages with dpkg-buildpackage from a copy of the
# tracked files (so the source tree stays as it is) and leaves the .deb files
# in OUT, which holds nothing else of a previous run.
build_package() {
  local out=${1:-$root/build-deb}
  mkdir -p "$out" && out=$(cd "$out" && pwd)
  local version
  version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
  local src="$out/mendivar-$version"
  rm -rf "$out"/*.deb "$out"/*.ddeb "$out"/*.buildinfo "$out"/*.changes "$src"
  mkdir -p "$src"
  if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$root" ls-files -z --cached --others --exclude-standard |
      (cd "$root" && tar --null -T - -cf -) | tar -xf - -C "$src"
  else
    tar -C "$root" --exclude='./build*' -cf - . | tar -xf - -C "$src"
  fi
  (cd "$src" && DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:+$DEB_BUILD_OPTIONS }parallel=2" dpkg-buildpackage -us -uc -b)
  rm -rf "$src"
  ls "$out"/*.deb
}

run_tests() {
  # Windowed code runs on Qt's offscreen platform; the smoke tests that need
  # a real X server start their own under xvfb-run.
  export QT_QPA_PLATFORM=offscreen
  ctest --test-dir "$root/build" --output-on-failure -j2
  # Everything but the widgets again under AddressSanitizer and UndefinedBehaviorSanitizer
  # (the install and package tests check what is installed, not the code: once is enough).
  build build-asan -DCMAKE_BUILD_TYPE=Debug -DMVR_SANITIZE=ON -- mvr_sanitizer_tests
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$root/build-asan" --output-on-failure -j2 -LE "gui|install"
  # The threaded engine under ThreadSanitizer.
  build build-tsan -DCMAKE_BUILD_TYPE=Debug -DMVR_TSAN=ON -- mvr_threads_tests
  TSAN_OPTIONS=halt_on_error=1 ctest --test-dir "$root/build-tsan" --output-on-failure -j2 -L threads
}

case "${1:-}" in
  example) install_missing; main_build_options; build build "${main_options[@]}" -- MvrCnstr MvrRecn; run_example ;;
  test) packages+=("${package_tools[@]}"); install_missing; main_build_options; build build "${main_options[@]}"
        run_tests ;;
  package) packages+=("${package_tools[@]}"); install_missing; build_package "${2:-}" ;;
  *) echo "usage: $0 example|test|package [FOLDER]" >&2; exit 2 ;;
esac
