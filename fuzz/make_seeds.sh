#!/usr/bin/env bash
# Writes the seed corpus into fuzz/corpus/. The seeds are regenerated, not
# hand-edited, so a change to the header or record layout is one edit here.
# Run it again only when the layout changes; the output is kept in the repo.
set -euo pipefail
cd "$(dirname "$0")"

# Byte strings are built as printf escapes and written at the end.
le() {  # le WIDTH VALUE: VALUE in WIDTH little-endian bytes
  local width=$1 value=$2 out="" i
  for ((i = 0; i < width; i++)); do
    out+=$(printf '\\x%02x' $(((value >> (8 * i)) & 0xFF)))
  done
  printf '%s' "$out"
}
text() {  # text STRING: the bytes of STRING (letters, digits and . / _ only)
  local s=$1 out="" i
  for ((i = 0; i < ${#s}; i++)); do out+=$(printf '\\x%02x' "'${s:i:1}"); done
  printf '%s' "$out"
}
times() {  # times COUNT ESCAPES
  local out="" i
  for ((i = 0; i < $1; i++)); do out+=$2; done
  printf '%s' "$out"
}
repeat() { times "$1" "$(text "$2")"; }  # repeat COUNT CHAR
emit() { printf "$2" >"$1"; }  # emit FILE ESCAPES

# header MAGIC REFLEN TGTLEN [VERSION]: 56 bytes; MAGIC is the four bytes
# after the checksum.
header() {
  local magic=$1 refLen=$2 tgtLen=$3 version=${4:-2}
  printf '%s' "$(le 4 0x1234abcd)$(text "$magic")$(le 4 700)$(le 4 5000)$(le 4 4800)"
  printf '%s' "$(le 4 0xdeadbeef)$(le 4 0x0badf00d)$(text "Lumenfold#00000$version")"
  printf '%s' "$(le 4 $((56 + refLen + tgtLen)))$(le 4 0)$(le 2 "$tgtLen")$(le 2 "$refLen")"
}

f=corpus/fileinfo
rm -rf "$f" && mkdir -p "$f"
emit $f/valid-names.bin "$(header mvr8 12 11)$(text original.txt)$(text changed.txt)$(le 4 0x00789c00)"
emit $f/valid-no-names.bin "$(header mvr8 0 0)"
emit $f/valid-longest-names.bin "$(header mvr8 260 260)$(repeat 260 a)$(repeat 260 b)$(le 2 0)"
emit $f/valid-version-one.bin "$(header mvr8 3 3 1)$(text abc)$(text xyz)"
h=$(header mvr8 5 5)
emit $f/truncated-header.bin "${h:0:$((30 * 4))}"  # 30 of its 56 bytes
emit $f/truncated-in-names.bin "$(header mvr8 40 40)$(repeat 50 n)"
emit $f/name-one-too-long.bin "$(header mvr8 261 1)$(repeat 262 n)"
emit $f/target-name-too-long.bin "$(header mvr8 1 261)$(repeat 262 n)"
emit $f/name-lengths-ffff.bin "$(header mvr8 65535 65535)$(repeat 64 n)"
emit $f/wrong-magic.bin "$(header mvz8 3 3)$(text abcxyz)"
emit $f/wrong-header-length.bin "$(header mvr9 3 3)$(text abcxyz)"
: >$f/empty.bin

# Records: original size, modified size, cancel byte, then the stream.
width() {
  local n=$1
  if ((n == 0)); then echo 0; elif ((n <= 0xFF)); then echo 1
  elif ((n <= 0xFFFF)); then echo 2; elif ((n <= 0xFFFFFF)); then echo 3; else echo 4; fi
}
r=corpus/records
rm -rf "$r" && mkdir -p "$r"
# One size of each width; the largest sits at the top of the 32-bit range.
sizes=(0 200 60000 16000000 4294967295)
for o in "${sizes[@]}"; do
  for m in "${sizes[@]}"; do
    wo=$(width "$o") wi=$(width "$m") wl=$(width $((o < m ? o : m)))
    stream=""
    if ((o > 0)); then  # a copy of up to 3 bytes from offset 1
      len=$((m < 3 ? m : 3))
      stream+="$(le "$wo" 1)$(le "$wl" "$len")"
    fi
    if ((wo + wi > 0)); then  # an insert: the original size marks it
      len=$((m < 2 ? m : 2))
      stream+="$(le "$wo" "$o")$(le "$wi" "$len")$(repeat "$len" Z)"
    else
      stream+="$(le 1 0)"  # both sizes 0: records could never end
    fi
    emit "$r/widths-o$wo-m$wi.bin" "$(le 4 "$o")$(le 4 "$m")$(le 1 0)$stream"
  done
done
pre="$(le 4 200)$(le 4 64)"  # WO 1, WL 1, WI 1
emit $r/ends-inside-offset.bin "$(le 4 60000)$(le 4 200)$(le 1 0)$(le 2 5)$(le 1 4)$(le 1 0x60)"
emit $r/ends-inside-length.bin "$(le 4 60000)$(le 4 60000)$(le 1 0)$(le 2 5)$(le 1 4)"
emit $r/ends-inside-insert.bin "$pre$(le 1 0)$(le 1 200)$(le 1 10)$(text abc)"
emit $r/insert-one-byte-short.bin "$pre$(le 1 0)$(le 1 200)$(le 1 4)$(text abc)"
emit $r/copy-past-original.bin "$pre$(le 1 0)$(le 1 198)$(le 1 3)"
emit $r/copy-to-original-end.bin "$pre$(le 1 0)$(le 1 197)$(le 1 3)"
emit $r/insert-marker-above-size.bin "$pre$(le 1 0)$(le 1 255)$(le 1 2)$(text hi)"
emit $r/output-past-modified.bin "$pre$(le 1 0)$(le 1 0)$(le 1 200)$(le 1 0)$(le 1 1)"
# 40 two-byte copies against a 64-byte target: checkpoints come often.
many=$(times 40 '\x05\x02')
emit $r/many-records.bin "$pre$(le 1 0)$many"
emit $r/cancel-at-third-checkpoint.bin "$pre$(le 1 3)$many"
emit $r/empty-stream.bin "$pre$(le 1 0)"

echo "seeds: $(ls $f | wc -l) fileinfo, $(ls $r | wc -l) records"
