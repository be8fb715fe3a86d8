#!/usr/bin/env bash
# Recreate the benchmark corpus of REAL file pairs (two adjacent releases of
# the same file) from npm package tarballs.  Needs: npm, tar, sha256sum.
# Usage: bench/fetch-corpus.sh [DEST]   (default: ./corpus in the current folder)
# The files are large and not ours to publish, so DEST stays out of the
# repository (`/corpus/` at its root is ignored by git).
set -euo pipefail
DEST="${1:-$PWD/corpus}"
mkdir -p "$DEST/tgz"

# pair-name | old package@version | new package@version | path in old tarball | path in new tarball
PAIRS='
A-esbuild-bin|@esbuild/linux-x64@0.24.0|@esbuild/linux-x64@0.24.1|package/bin/esbuild|package/bin/esbuild
B-typescript-js|typescript@5.8.3|typescript@5.9.2|package/lib/typescript.js|package/lib/typescript.js
C1-dom-iterable-small|typescript@5.8.3|typescript@5.9.2|package/lib/lib.dom.iterable.d.ts|package/lib/lib.dom.iterable.d.ts
C2-utf8validate-node-small|utf-8-validate@6.0.3|utf-8-validate@6.0.4|package/prebuilds/linux-x64/node.napi.musl.node|package/prebuilds/linux-x64/utf-8-validate.musl.node
D-bun-bin-large|@oven/bun-linux-x64@1.2.0|@oven/bun-linux-x64@1.2.1|package/bin/bun|package/bin/bun
E2-lib-dom-grow|typescript@5.8.3|typescript@5.9.2|package/lib/lib.dom.d.ts|package/lib/lib.dom.d.ts
'

tgz_of() {  # package@version -> tarball file name as written by npm pack
  local package="$1" name ver
  name="${package%@*}"; ver="${package##*@}"
  name="${name#@}"; name="${name//\//-}"
  echo "$DEST/tgz/$name-$ver.tgz"
}

fetch() {
  local package="$1" t
  t="$(tgz_of "$package")"
  if [ ! -s "$t" ]; then
    (cd "$DEST/tgz" && npm pack --silent "$package" >/dev/null)
  fi
  [ -s "$t" ] || { echo "failed to fetch $package" >&2; exit 1; }
  echo "$t"
}

echo "$PAIRS" | while IFS='|' read -r pair old new opath npath; do
  [ -n "$pair" ] || continue
  mkdir -p "$DEST/$pair"
  tar -xzOf "$(fetch "$old")" "$opath" > "$DEST/$pair/old"
  tar -xzOf "$(fetch "$new")" "$npath" > "$DEST/$pair/new"
  printf '%-26s old=%-32s %10s  new=%-32s %10s\n' "$pair" "$old" \
    "$(stat -c%s "$DEST/$pair/old")" "$new" "$(stat -c%s "$DEST/$pair/new")"
done
(cd "$DEST" && sha256sum */old */new > SHA256SUMS)
echo "corpus ready in $DEST (checksums in SHA256SUMS)"
