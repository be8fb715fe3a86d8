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
row 17 '^$'                   'already exists'                  -       apply b.mvr
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
for f in c ct cf s; do cmp -s "$f" b || { echo "FAIL: $f differs from b"; failed=1; }; done
cp b.mvr damaged.mvr && printf 'Z' | dd of=damaged.mvr bs=1 seek=70 conv=notrunc 2>/dev/null
row 15 '^$'                   '^mvr: damaged.mvr: '             -       verify damaged.mvr a
# Standard streams: a pipeline rebuilds the file, and -c writes the bytes -o
# writes.
"$mvr" diff a - -c <b | "$mvr" apply - a -c >piped && cmp -s piped b || { echo "FAIL: pipeline"; failed=1; }
"$mvr" diff a b -c >c.mvr && "$mvr" diff a b -o o.mvr && cmp -s c.mvr o.mvr || { echo "FAIL: -c and -o differ"; failed=1; }
# A failing -c run emits nothing, and no run leaves a temporary file.
"$mvr" apply b.mvr b -c >partial 2>/dev/null; [ $? = 13 ] && [ ! -s partial ] || { echo "FAIL: partial -c"; failed=1; }
exit $failed
