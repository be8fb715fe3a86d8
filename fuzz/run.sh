#!/usr/bin/env bash
# fuzz/run.sh [SECONDS]: builds the libFuzzer targets with clang in
# build-fuzz/ and runs each for SECONDS (default 120). The fuzzers work on a
# scratch copy of the corpus, so the repository's seeds stay as generated;
# crashing inputs land in build-fuzz/fuzz/crashes/TARGET/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-120}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo

# A trial link is the only sure test that the libFuzzer runtime is there;
# clang itself can be installed without it.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
can_fuzz() {
  command -v clang++ >/dev/null &&
    printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' |
      clang++ -fsanitize=fuzzer -x c++ - -o "$probe/probe" 2>/dev/null
}
if ! can_fuzz; then
  echo "Installing clang and its fuzzing runtime"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends clang libclang-rt-dev
  can_fuzz || { echo "clang cannot link -fsanitize=fuzzer" >&2; exit 1; }
fi

build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMVR_FUZZ=ON -DMVR_GUI=OFF >/dev/null
cmake --build "$build" -j2 --target fuzz_fileinfo fuzz_records

summary=()
failed=0
for name in fileinfo records; do
  work="$probe/$name"
  crashes="$build/fuzz/crashes/$name"
  mkdir -p "$work" "$crashes"
  cp -r "$root/fuzz/corpus/$name" "$work/corpus"
  log="$build/fuzz/$name.log"
  echo "== fuzz_$name for ${seconds}s (log: $log)"
  set +e
  "$build/fuzz/fuzz_$name" "$work/corpus" -max_total_time="$seconds" -timeout=10 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$crashes/" >"$log" 2>&1
  rc=$?
  set -e
  tail -n 3 "$log" | grep -v '^$' || true
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 || true)
  if [ "$rc" -eq 0 ]; then
    summary+=("fuzz_$name: ${execs:-?} runs, ${cov:-cov: ?}, no crash")
  else
    failed=1
    found=$(ls -t "$crashes" 2>/dev/null | head -n 1)
    summary+=("fuzz_$name: FAILED (exit $rc) after ${execs:-?} runs; input: $crashes/${found:-?}")
  fi
done

echo
echo "Summary:"
printf '  %s\n' "${summary[@]}"
exit "$failed"
