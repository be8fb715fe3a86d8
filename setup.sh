#!/usr/bin/env bash
# Installs what is missing, builds, and then either runs the bundled example
# round trip (./setup.sh example) or the whole test suite (./setup.sh test).
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

packages=(g++ cmake ninja-build pkg-config zlib1g-dev libgtest-dev libstorm-dev)

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

# build DIR [cmake options...]
build() {
  local dir=$1
  shift
  cmake -S "$root" -B "$root/$dir" -G Ninja "$@" >/dev/null
  cmake --build "$root/$dir" -j2
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

run_tests() {
  ctest --test-dir "$root/build" --output-on-failure -j2
  # The same tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
  build build-asan -DCMAKE_BUILD_TYPE=Debug -DMVR_SANITIZE=ON -DMVR_GUI=OFF
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$root/build-asan" --output-on-failure -j2
}

case "${1:-}" in
  example) install_missing; build build; run_example ;;
  test) install_missing; build build; run_tests ;;
  *) echo "usage: $0 example|test" >&2; exit 2 ;;
esac
