#!/bin/sh
# Runs mvr on a small pair of files. Each row: exit code, stdout pattern,
# stderr pattern, a file that must exist afterwards (or -), then the command
# line. Patterns are grep -E expressions, "^$" for nothing.
mvr=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/mvrtest.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
exec </dev/null
head -c 60000 /dev/zero | tr '\0' 'x' > a
(cat a; echo changed) > b
failed=0
# Whether the captured stream matches: "^$" means empty.
matches() {
  if [ "$1" = "^$" ]; then [ ! -s "$2" ]; else grep -Eq -e "$1" "$2"; fi
}
# A row redirected from a file (row ... <FILE) gives mvr that standard input.
row() {
  code=$1 out=$2 err=$3 file=$4
  shift 4
  "$mvr" "$@" >stdout 2>stderr
  got=$?
  ok=1
  [ "$got" = "$code" ] || ok=0
  matches "$out" stdout || ok=0
  matches "$err" stderr || ok=0
  [ "$file" = - ] || [ -e "$file" ] || ok=0
  if [ $ok = 0 ]; then
    echo "FAIL: mvr $* -> $got (want $code)"; echo " stdout: $(cat stdout)"; echo " stderr: $(cat stderr)"
    failed=1
  fi
}
row 0  '^Usage: mvr diff'     '^$'                              -       --help
row 0  '^mvr [0-9]'           '^$'                              -       --version
row 64 '^$'                   '^mvr: .*see mvr --help'          -       frobnicate
row 64 '^$'                   'unknown option -x'               -       diff -x a b
row 64 '^$'                   'diff needs'                      -       diff a
row 0  '^$'                   '^$'                              b.mvr   diff a b
row 17 '^$'                   '^mvr: b.mvr: .*already exists'   -       diff a b
row 0  '^$'                   '^$'                              b.mvr   diff -f a b
row 0  '^$'                   '^mvr: b: [0-9]+ bytes in'        b.mvr   diff -f -v a b
row 64 '^$'                   '-q and -v exclude'               -       apply -q -v b.mvr
row 2  '^$'                   '^mvr: none: .*No such file'      -       diff a none -o n.mvr
row 0  '^$'                   '^$'                              t.mvr   diff --thorough a b -o t.mvr
row 0  '^$'                   '^$'                              f.mvr   diff --fast a b -o f.mvr
row 0  '^$'                   '^$'                              c       apply b.mvr a -o c
row 17 '^$'                   'already exists'                  -       apply b.mvr a -o c
row 17 '^$'                   '^mvr: b: .*already exists'       -       apply b.mvr
row 0  '^$'                   '^$'                              -       apply -f b.mvr
row 0  '^$'                   '^$'                              ct      apply t.mvr a -o ct
row 0  '^$'                   '^$'                              cf      apply f.mvr a -o cf
row 0  '^$'                   '^$'                              -       verify b.mvr
row 13 '^$'                   '^mvr: b: .*incorrect'            -       verify b.mvr b
row 0  '^original: +a$'       '^$'                              -       info b.mvr
row 0  '"modified":\{"name":"b","size":60008' '^$'              -       info --json b.mvr
row 0  '^\[\{.*\},\{.*\}\]$'  '^$'                              -       info --json b.mvr t.mvr
row 15 '^$'                   '^mvr: a: '                       -       info a
row 3  '^$'                   'Cannot open.*No such file'       -       info none.mvr
row 64 '^$'                   'needs -o or -c'                  -       diff a -
row 64 '^$'                   'exclude each other'              -       apply b.mvr -o x -c
row 0  '^$'                   '^$'                              -       verify - a <b.mvr
row 17 '^$'                   'already exists'                  -       apply - <b.mvr
row 0  '^$'                   '^$'                              s.mvr   diff a - -o s.mvr <b
row 0  '^modified: +s$'       '^$'                              -       info s.mvr
row 0  '^$'                   '^$'                              s.mvr   diff -f --full-names a - -o s.mvr <b
row 0  '^modified: +s$'       '^$'                              -       info s.mvr
row 0  '^$'                   '^$'                              s       apply - <s.mvr
row 15 '^$'                   '^mvr: -: '                       -       apply - a -c <a
mkdir -p elsewhere/deeper empty && cp a elsewhere/deeper/moved
row 0  '^elsewhere/deeper/moved$' '^$'                          -       find b.mvr elsewhere
row 0  '^\["elsewhere/deeper/moved"\]$' '^$'                    -       find --json b.mvr elsewhere
row 1  '^$'                   '^$'                              -       find b.mvr empty
row 15 '^$'                   '^mvr: a: '                       -       find a
# GNU parsing: bundles, attached and separate values, options after the
# operands, -- before an operand that looks like an option; an option the
# command does not take names itself.
cp b ./-b
row 0  '^$'                   '^$'                              g1.mvr  diff -fq a b -o g1.mvr
row 0  '^$'                   '^$'                              g2.mvr  diff a b --output=g2.mvr
row 0  '^$'                   '^$'                              g3.mvr  diff a b -og3.mvr
row 0  '^$'                   '^$'                              g4.mvr  diff a b --output g4.mvr
row 0  '^$'                   '^$'                              g4.mvr  diff a b -o g4.mvr -f
row 0  '^$'                   '^$'                              g5.mvr  diff --out=g5.mvr --thor a b
row 0  '^$'                   '^$'                              g6.mvr  diff -o g6.mvr -- a -b
row 0  '^modified: +-b$'      '^$'                              -       info -- g6.mvr
row 0  '^$'                   '^$'                              g7      apply b.mvr -qfog7 a
row 64 '^$'                   '^mvr: info: unknown option --fast \(see mvr --help\)$' - info --fast --thorough -c -f b.mvr
row 64 '^$'                   '^mvr: verify: unknown option -f '  -       verify -f b.mvr
row 64 '^$'                   '^mvr: apply: unknown option -z '   -       apply -fz b.mvr
row 64 '^$'                   'unknown option --json'           -       diff --json a b
row 64 '^$'                   'unknown option --thorough'       -       apply --thorough b.mvr
row 64 '^$'                   'unknown option -o'               -       find -o x b.mvr
row 64 '^$'                   '^mvr: info: --json takes no value' - info --json=yes b.mvr
row 64 '^$'                   '^mvr: diff: -o needs a file name' -      diff a b -o
row 64 '^$'                   'diff needs'                      -       diff -o x.mvr -- a b -f
# Messages name the file at fault: an empty input, one of 4 GiB or more (a
# sparse file), an existing output.
: > nothing
truncate -s 4G big 2>/dev/null || dd if=/dev/null of=big bs=1 seek=4294967296 2>/dev/null
row 11 '^$'                   '^mvr: nothing: .*\(the file is empty\)$' - diff a nothing -o e1.mvr
row 11 '^$'                   '^mvr: nothing: .*\(the file is empty\)$' - diff nothing b -o e2.mvr
row 11 '^$'                   '^mvr: big: .*\(the file is 4 GiB or larger\)$' - diff a big -o e3.mvr
row 11 '^$'                   '^mvr: -: .*\(the file is empty\)$' - diff a - -o e4.mvr <nothing
rm -f big
row 17 '^$'                   '^mvr: g1.mvr: .*already exists'  -       diff a b -o g1.mvr
for f in c ct cf s g7; do cmp -s "$f" b || { echo "FAIL: $f differs from b"; failed=1; }; done
cp b.mvr damaged.mvr && printf 'Z' | dd of=damaged.mvr bs=1 seek=70 conv=notrunc 2>/dev/null
row 15 '^$'                   '^mvr: damaged.mvr: '             -       verify damaged.mvr a
# Standard streams: a pipeline rebuilds the file, and -c writes the bytes -o
# writes.
"$mvr" diff a - -c <b | "$mvr" apply - a -c >piped && cmp -s piped b || { echo "FAIL: pipeline"; failed=1; }
"$mvr" diff a b -c >c.mvr && "$mvr" diff a b -o o.mvr && cmp -s c.mvr o.mvr || { echo "FAIL: -c and -o differ"; failed=1; }
# A failing -c run emits nothing, and no run leaves a temporary file.
"$mvr" apply b.mvr b -c >partial 2>/dev/null; [ $? = 13 ] && [ ! -s partial ] || { echo "FAIL: partial -c"; failed=1; }
# Hostile names, recorded in difference files and found in a tree: no text
# output carries a control byte, and every --json output is strict JSON in
# strict UTF-8, ending in a newline, with the exact bytes of a name that is
# not UTF-8 beside it.
mkdir -p hostile
set -- "$(printf 'x\033]0;T\007y')" "$(printf '\033[2J')" "$(printf '\033]8;;http:e.x\033\\link\033]8;;\033\\')" \
  "$(printf 'a\nsize: 1')" "$(printf 'cr\rtab\t')" "$(printf 'bad\377\300\257')" "$(printf 'sur\355\240\200')" \
  "$(printf 'c1\302\233x')" "$(printf 'Gr\303\274\303\237e')" "$(printf "q'\"\\\\")"
strict='import json, sys
raw = sys.stdin.buffer.read()
assert raw.endswith(b"\n"), "no newline at the end"
json.loads(raw.decode("utf-8", "strict"))'
# C0 but tab and newline, DEL, C1 in UTF-8.
controls=$(printf '[\001-\010\013-\037\177]|\302[\200-\237]')
i=0
for name in "$@"; do
  i=$((i + 1))
  cp a "hostile/$name"
  cp b "hostile/$name.new"
  "$mvr" diff "hostile/$name" "hostile/$name.new" -o "h$i.mvr" 2>/dev/null || { echo "FAIL: diff of hostile name $i"; failed=1; }
  "$mvr" info "h$i.mvr" >stdout 2>stderr
  # 12 lines and no control byte: nothing forged, nothing for the terminal.
  { [ "$(wc -l <stdout)" = 12 ] && ! LC_ALL=C grep -Eq "$controls" stdout; } || { echo "FAIL: info text of name $i"; cat -v stdout; failed=1; }
  "$mvr" info --json "h$i.mvr" | python3 -c "$strict
import os
d = json.loads(raw)
want = os.fsencode(sys.argv[1])
try:
    text = want.decode('utf-8')
except UnicodeDecodeError:
    assert d['original']['name_hex'] == want.hex(), d
else:
    assert d['original']['name'] == text and 'name_hex' not in d['original'], d" "$name" \
    || { echo "FAIL: info --json of name $i"; failed=1; }
  "$mvr" info "hostile/$name.missing" 2>stderr
  { [ $? = 3 ] && [ "$(wc -l <stderr)" = 1 ] && ! LC_ALL=C grep -Eq "$controls" stderr; } || { echo "FAIL: message for name $i"; cat -v stderr; failed=1; }
  "$mvr" verify - <"h$i.mvr" 2>stderr
  ! LC_ALL=C grep -Eq "$controls" stderr || { echo "FAIL: verify - message for name $i"; cat -v stderr; failed=1; }
done
"$mvr" info --json h*.mvr | python3 -c "$strict" || { echo "FAIL: info --json of all"; failed=1; }
"$mvr" info --json none1.mvr none2.mvr >stdout 2>/dev/null
[ "$(od -An -c stdout | tr -d ' ')" = '[]\n' ] || { echo "FAIL: info --json of failing files: $(cat stdout)"; failed=1; }
"$mvr" find --json b.mvr hostile | python3 -c "$strict
d = json.loads(raw)
assert len(d) == $#, d
assert any(isinstance(p, dict) and 'path_hex' in p for p in d), d
assert all(isinstance(p, str) or bytes.fromhex(p['path_hex']).startswith(b'hostile/') for p in d), d" \
  || { echo "FAIL: find --json"; failed=1; }
"$mvr" find b.mvr hostile >stdout
{ [ "$(wc -l <stdout)" = $# ] && ! LC_ALL=C grep -Eq "$controls" stdout && grep -q "^'hostile/x'\\$'\\\\033'" stdout; } \
  || { echo "FAIL: find text"; cat -v stdout; failed=1; }
exit $failed
