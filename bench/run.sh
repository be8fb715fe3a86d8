#!/usr/bin/env bash
# Compare MvrCnstr (and MvrRecn, when it is built) against xdelta3 -9 and
# zstd --patch-from on a corpus of real file pairs, and the construction
# choices of mvr diff (--fast, --thorough) against xdelta3 -9 and bsdiff.
#
# Usage: bench/run.sh [-o FILE] [-n RUNS] [CORPUS_DIR]
#   CORPUS_DIR  folder holding one sub-folder per pair, each with files `old`
#               and `new` (default: $MVR_CORPUS, else ../corpus next to the
#               repository root)
#   -o FILE     also write the Markdown tables to FILE
#   -n RUNS     runs per measurement; the median wall time is reported
#               (default 3)
#   MVR_BIN     folder with MvrCnstr/MvrRecn/mvr (default: build/bin of this
#               repository, built when MvrCnstr is missing)
#
# Every command runs under /usr/bin/time -f '%e %M' (wall seconds, peak RSS
# KiB). MvrCnstr runs once more with MVR_DIRECT_SCAN=1, which makes it search
# without its candidate index; that difference file must be byte-identical.
# The tables go to stdout, progress notes to stderr. The exit code is
# non-zero when a tool fails, the two difference files differ, or a rebuilt
# file differs from `new`. bsdiff runs once per pair (it is the slowest).
#
# Run nothing else on the machine meanwhile: the numbers are wall times.
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
REPO="$(cd "$HERE/.." && pwd)"

OUT_FILE=""
RUNS=3
usage() { sed -n '5,14p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
while getopts "o:n:h" opt; do
  case "$opt" in
    o) OUT_FILE="$OPTARG" ;;
    n) RUNS="$OPTARG" ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
[ $# -le 1 ] || usage
[[ "$RUNS" =~ ^[1-9][0-9]*$ ]] || { echo "run.sh: -n needs a positive number" >&2; exit 2; }

CORPUS="${1:-${MVR_CORPUS:-$REPO/../corpus}}"

note() { echo "run.sh: $*" >&2; }

# ---------------------------------------------------------------- corpus
corpus_help() {
  note "fetch it with:  bench/fetch-corpus.sh DEST"
  note "(keep DEST outside the repository), then run:  bench/run.sh DEST"
}
if [ ! -d "$CORPUS" ]; then
  note "no corpus at $CORPUS"
  corpus_help
  exit 1
fi
CORPUS="$(cd "$CORPUS" && pwd)"
PAIRS=()
for d in "$CORPUS"/*/; do
  d="${d%/}"
  [ -f "$d/old" ] && [ -f "$d/new" ] && PAIRS+=("$d")
done
if [ ${#PAIRS[@]} -eq 0 ]; then
  note "no pairs (sub-folders with files old and new) in $CORPUS"
  corpus_help
  exit 1
fi

# ---------------------------------------------------------------- tools
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
missing=()
command -v xdelta3 >/dev/null 2>&1 || missing+=(xdelta3)
command -v zstd >/dev/null 2>&1 || missing+=(zstd)
command -v bsdiff >/dev/null 2>&1 || missing+=(bsdiff)
[ -x /usr/bin/time ] || missing+=(time)
command -v cmp >/dev/null 2>&1 || missing+=(diffutils)
if [ ${#missing[@]} -gt 0 ]; then
  note "installing ${missing[*]}"
  as_root apt-get update -qq >&2
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >&2
fi

BIN="${MVR_BIN:-$REPO/build/bin}"
if [ ! -x "$BIN/MvrCnstr" ] && [ -z "${MVR_BIN:-}" ]; then
  note "building MvrCnstr"
  if [ ! -f "$REPO/build/CMakeCache.txt" ]; then
    cmake -S "$REPO" -B "$REPO/build" -G Ninja >&2
  fi
  # MvrRecn may not exist yet; build it when there is a target for it.
  cmake --build "$REPO/build" -j2 --target MvrCnstr MvrRecn mvr >&2 ||
    cmake --build "$REPO/build" -j2 --target MvrCnstr >&2
fi
[ -x "$BIN/MvrCnstr" ] || { note "no $BIN/MvrCnstr after the build"; exit 1; }
HAVE_RECN=0
if [ -x "$BIN/MvrRecn" ]; then HAVE_RECN=1; else note "no $BIN/MvrRecn: reconstruction is not measured"; fi
HAVE_MVR=0
if [ -x "$BIN/mvr" ]; then HAVE_MVR=1; else note "no $BIN/mvr: the construction choices are not measured"; fi

# ---------------------------------------------------------------- helpers
WORK="$(mktemp -d "${TMPDIR:-/tmp}/mvr-bench.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT
FAILED=0

# Run a private copy of the programs and their shared libraries, so that a
# rebuild of the tree during a long run cannot mix two builds in one table.
BUILT="$(date -u -r "$BIN/MvrCnstr" '+%Y-%m-%d %H:%M UTC')"
COMMIT="$(git -C "$REPO" describe --always --dirty 2>/dev/null || echo unknown)"
mkdir -p "$WORK/snap/bin" "$WORK/snap/lib"
cp -p "$BIN/MvrCnstr" "$WORK/snap/bin/"
[ "$HAVE_RECN" -eq 1 ] && cp -p "$BIN/MvrRecn" "$WORK/snap/bin/"
[ "$HAVE_MVR" -eq 1 ] && cp -p "$BIN/mvr" "$WORK/snap/bin/"
if [ -d "$BIN/../lib" ]; then
  find "$BIN/../lib" -maxdepth 1 -name '*.so*' -exec cp -pP {} "$WORK/snap/lib/" \;
fi
BIN="$WORK/snap/bin"
MVR_ENV=(env "LD_LIBRARY_PATH=$WORK/snap/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}")
note "programs from commit $COMMIT, MvrCnstr built $BUILT"

# timed LABEL CMD... : runs CMD $RUNS times with stdin from /dev/null; sets
# T (median wall seconds) and M (peak RSS KiB of that run), or T=M=FAIL.
timed() {
  local label="$1"; shift
  local i rc results=() tf="$WORK/time.txt" log="$WORK/log.txt"
  for ((i = 0; i < RUNS; i++)); do
    rc=0
    /usr/bin/time -f '%e %M' -o "$tf" "$@" </dev/null >"$log" 2>&1 || rc=$?
    if [ "$rc" -ne 0 ]; then
      note "$label failed (exit $rc): $*"
      tail -n 5 "$log" | sed 's/^/    /' >&2
      T=FAIL; M=FAIL; FAILED=1
      return 0
    fi
    results+=("$(tail -n 1 "$tf")")
  done
  local mid
  mid="$(printf '%s\n' "${results[@]}" | sort -n -k1,1 | sed -n "$(((RUNS + 1) / 2))p")"
  T="${mid% *}"; M="${mid#* }"
  note "  $label: ${T} s, $((M / 1024)) MiB  (runs: $(printf '%s; ' "${results[@]}"))"
}

size_of() { stat -c %s "$1"; }
mib() { awk -v k="$1" 'BEGIN { if (k == "FAIL") print "FAIL"; else printf "%.1f", k / 1024 }'; }
ratio() {  # ratio A B : A/B with 2 decimals, n/a when either is missing or B is 0
  awk -v a="$1" -v b="$2" 'BEGIN {
    if (a == "FAIL" || b == "FAIL" || a == "-" || b == "-" || b + 0 == 0) print "n/a";
    else printf "%.2f", a / b }'
}
# zstd window log: one above the highest set bit of the larger file, as zstd
# itself picks for --patch-from; the same value must be given when decoding.
window_log() {
  awk -v n="$1" 'BEGIN { w = 0; while (n >= 2) { n = n / 2; w++ } w++;
                         if (w < 10) w = 10; if (w > 31) w = 31; print w }'
}
# verify FILE : compares FILE with the pair's `new`; sets V to ok or DIFFERS
verify() {
  if [ -f "$1" ] && cmp -s "$1" "$NEW"; then V=ok; else V=DIFFERS; FAILED=1; note "  $1 differs from $NEW"; fi
  rm -f "$1"
}
mibr() { if [ "$1" = "-" ]; then echo "-"; else mib "$1"; fi; }
mib2() { awk -v b="$1" 'BEGIN { printf "%.2f", b / 1048576 }'; }

# ---------------------------------------------------------------- runs
CROWS=()
RROWS=()
OROWS=()
for d in "${PAIRS[@]}"; do
  pair="$(basename "$d")"
  OLD="$d/old"; NEW="$d/new"
  so="$(size_of "$OLD")"; sn="$(size_of "$NEW")"
  big=$(( so > sn ? so : sn ))
  N="$(window_log "$big")"
  note "$pair: old $so B, new $sn B, zstd --long=$N"
  rm -f "$WORK"/out.* "$WORK"/rebuilt*

  timed MvrCnstr "${MVR_ENV[@]}" "$BIN/MvrCnstr" "$OLD" "$NEW" "$WORK/out.mvr"
  mt="$T"; mm="$M"
  ms="-"; [ "$mt" != FAIL ] && [ -f "$WORK/out.mvr" ] && ms="$(size_of "$WORK/out.mvr")"
  extra="FAIL"
  [ "$mm" != FAIL ] && extra="$(awk -v k="$mm" -v o="$so" -v n="$sn" 'BEGIN {
      e = k * 1024 - o - n; if (e < 0) e = 0; printf "%.1f", e / 1048576 }')"

  # The same construction with the direct scan only: one run, for its time
  # and to prove that the index changes no byte.
  runs_saved="$RUNS"; RUNS=1
  timed "MvrCnstr direct" "${MVR_ENV[@]}" MVR_DIRECT_SCAN=1 "$BIN/MvrCnstr" "$OLD" "$NEW" "$WORK/out.direct.mvr"
  RUNS="$runs_saved"
  dt="$T"; same="-"
  if [ "$dt" != FAIL ] && [ "$ms" != "-" ]; then
    if cmp -s "$WORK/out.mvr" "$WORK/out.direct.mvr"; then same=yes; else same=DIFFERS; FAILED=1; note "  direct-scan difference file differs"; fi
  fi
  rm -f "$WORK/out.direct.mvr"

  timed xdelta3 xdelta3 -9 -e -f -s "$OLD" "$NEW" "$WORK/out.xd3"
  xt="$T"; xm="$M"
  xs="-"; [ "$xt" != FAIL ] && xs="$(size_of "$WORK/out.xd3")"

  timed zstd zstd -q -f -19 "--long=$N" "--patch-from=$OLD" "$NEW" -o "$WORK/out.zst"
  zt="$T"; zm="$M"
  zs="-"; [ "$zt" != FAIL ] && zs="$(size_of "$WORK/out.zst")"

  CROWS+=("| $pair | $(mib2 "$so") | $(mib2 "$sn") | $dt | $same | $(ratio "$mt" "$dt") | $mt | $(mib "$mm") | $extra | $ms | $xt | $(mib "$xm") | $xs | $zt | $(mib "$zm") | $zs | $(ratio "$mt" "$xt") | $(ratio "$mt" "$zt") | $(ratio "$ms" "$xs") | $(ratio "$ms" "$zs") |")

  xdt="-"
  if [ "$HAVE_RECN" -eq 1 ]; then
    rt="-"; rm_="-"; rv="-"
    if [ "$ms" != "-" ]; then
      timed MvrRecn "${MVR_ENV[@]}" "$BIN/MvrRecn" "$WORK/out.mvr" "$OLD" "$WORK/rebuilt"
      rt="$T"; rm_="$M"; rv="-"
      [ "$rt" != FAIL ] && { verify "$WORK/rebuilt"; rv="$V"; }
    fi
    xdt="-"; xdm="-"; xv="-"
    if [ "$xs" != "-" ]; then
      timed "xdelta3 -d" xdelta3 -d -f -s "$OLD" "$WORK/out.xd3" "$WORK/rebuilt2"
      xdt="$T"; xdm="$M"; xv="-"
      [ "$xdt" != FAIL ] && { verify "$WORK/rebuilt2"; xv="$V"; }
    fi
    zdt="-"; zdm="-"; zv="-"
    if [ "$zs" != "-" ]; then
      timed "zstd -d" zstd -d -q -f "--long=$N" "--patch-from=$OLD" "$WORK/out.zst" -o "$WORK/rebuilt3"
      zdt="$T"; zdm="$M"; zv="-"
      [ "$zdt" != FAIL ] && { verify "$WORK/rebuilt3"; zv="$V"; }
    fi
    RROWS+=("| $pair | $rt | $(mibr "$rm_") | $rv | $xdt | $(mibr "$xdm") | $xv | $zdt | $(mibr "$zdm") | $zv | $(ratio "$rt" "$xdt") | $(ratio "$rt" "$zdt") |")
  fi

  if [ "$HAVE_MVR" -eq 1 ]; then
    row="| $pair |"
    for choice in fast thorough; do
      timed "mvr --$choice" "${MVR_ENV[@]}" "$BIN/mvr" diff -f -q --full-names "--$choice" "$OLD" "$NEW" -o "$WORK/out.$choice.mvr"
      ct="$T"; cm="$M"; cs="-"
      [ "$ct" != FAIL ] && cs="$(size_of "$WORK/out.$choice.mvr")"
      crt="-"; crm="-"; crv="-"
      if [ "$cs" != "-" ]; then
        timed "mvr apply ($choice)" "${MVR_ENV[@]}" "$BIN/mvr" apply -f -q "$WORK/out.$choice.mvr" "$OLD" -o "$WORK/rebuilt4"
        crt="$T"; crm="$M"
        [ "$crt" != FAIL ] && { verify "$WORK/rebuilt4"; crv="$V"; }
      fi
      row+=" $ct | $(mib "$cm") | $cs | $(ratio "$cs" "$ms") | $(ratio "$ct" "$xt") | $(ratio "$cs" "$xs") | $crt | $(mibr "$crm") | $crv | $(ratio "$crt" "$xdt") |"
      rm -f "$WORK/out.$choice.mvr"
    done
    runs_saved="$RUNS"; RUNS=1
    timed bsdiff bsdiff "$OLD" "$NEW" "$WORK/out.bsd"
    RUNS="$runs_saved"
    bt="$T"; bm="$M"; bs="-"
    [ "$bt" != FAIL ] && bs="$(size_of "$WORK/out.bsd")"
    bpt="-"; bpm="-"; bpv="-"
    if [ "$bs" != "-" ]; then
      timed bspatch bspatch "$OLD" "$WORK/rebuilt5" "$WORK/out.bsd"
      bpt="$T"; bpm="$M"
      [ "$bpt" != FAIL ] && { verify "$WORK/rebuilt5"; bpv="$V"; }
    fi
    row+=" $bt | $(mib "$bm") | $bs | $bpt | $(mibr "$bpm") | $bpv |"
    OROWS+=("$row")
  fi
done

# ---------------------------------------------------------------- tables
report() {
  echo "Programs from commit $COMMIT (MvrCnstr built $BUILT); $(nproc) CPUs; finished $FINISHED."
  echo
  echo "Construction (wall s = median of $RUNS runs; RSS = peak RSS of that run, MiB;"
  echo "extra = MvrCnstr peak RSS minus the sizes of both inputs, clamped at 0; sizes in bytes;"
  echo "zstd: -19 --long=N --patch-from, N = window log for the larger file;"
  echo "direct = MvrCnstr with MVR_DIRECT_SCAN=1, one run; same = its difference file is byte-identical)"
  echo
  echo "| pair | old MiB | new MiB | direct s | same | s Mvr/direct | Mvr s | Mvr RSS | Mvr extra | Mvr size | xd3 s | xd3 RSS | xd3 size | zstd s | zstd RSS | zstd size | s Mvr/xd3 | s Mvr/zstd | size Mvr/xd3 | size Mvr/zstd |"
  echo "|---|--:|--:|--:|:-:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|"
  printf '%s\n' "${CROWS[@]}"
  if [ "$HAVE_RECN" -eq 1 ]; then
    echo
    echo "Reconstruction (wall s = median of $RUNS runs; RSS MiB; ok = rebuilt file equals new)"
    echo
    echo "| pair | Mvr s | Mvr RSS | Mvr | xd3 s | xd3 RSS | xd3 | zstd s | zstd RSS | zstd | s Mvr/xd3 | s Mvr/zstd |"
    echo "|---|--:|--:|:-:|--:|--:|:-:|--:|--:|:-:|--:|--:|"
    printf '%s\n' "${RROWS[@]}"
  else
    echo
    echo "Reconstruction: not measured (no build/bin/MvrRecn)."
  fi
  if [ "$HAVE_MVR" -eq 1 ]; then
    echo
    echo "Construction choices (mvr diff --full-names --fast / --thorough, rebuilt with mvr apply; wall s = median of $RUNS runs,"
    echo "bsdiff and bspatch one run; RSS MiB; sizes in bytes; /std = size over MvrCnstr's; /xd3 over xdelta3 -9's"
    echo "construction time or size; apply/xd3 = rebuild time over xdelta3 -d's)"
    echo
    echo "| pair | fast s | fast RSS | fast size | size fast/std | s fast/xd3 | size fast/xd3 | fast apply s | apply RSS | ok | apply/xd3 | thorough s | thorough RSS | thorough size | size thor/std | s thor/xd3 | size thor/xd3 | thorough apply s | apply RSS | ok | apply/xd3 | bsdiff s | bsdiff RSS | bsdiff size | bspatch s | bspatch RSS | ok |"
    echo "|---|--:|--:|--:|--:|--:|--:|--:|--:|:-:|--:|--:|--:|--:|--:|--:|--:|--:|--:|:-:|--:|--:|--:|--:|--:|--:|:-:|"
    printf '%s\n' "${OROWS[@]}"
  fi
}
FINISHED="$(date -u "+%Y-%m-%d %H:%M UTC")"
report
if [ -n "$OUT_FILE" ]; then
  report >"$OUT_FILE"
  note "tables written to $OUT_FILE"
fi
[ "$FAILED" -eq 0 ] || note "some runs failed or rebuilt files differ (see above)"
exit "$FAILED"
