#!/usr/bin/env bash
# Payload archives of the end-to-end tests:
#   sized.zip  one entry "Vistrel.aex" of 1,500,000 bytes (2MB for one folder, 3MB for two)
#   large.zip  1,500 entries of 200 kB each, so that a run lasts long enough to be cancelled
#   one_large.zip  one entry "Vistrel.aex" of 64 MB, half of it random bytes, whose
#              extraction lasts a while on its own
set -euo pipefail
out=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/sized"
head -c 1500000 /dev/zero >"$work/sized/Vistrel.aex"
rm -f "$out/sized.zip"
(cd "$work/sized" && zip -q -X -D -9 "$out/sized.zip" Vistrel.aex)

mkdir -p "$work/large/data"
{ yes "Vistrel end-to-end payload, a line of text that deflates well enough" || true; } | head -c 200000 >"$work/one"
for i in $(seq -w 1 1500); do cp "$work/one" "$work/large/data/part-$i.bin"; done
cp "$work/sized/Vistrel.aex" "$work/large/Vistrel.aex"
rm -f "$out/large.zip"
(cd "$work/large" && zip -q -X -D -1 -r "$out/large.zip" Vistrel.aex data)

mkdir -p "$work/one_large"
{ head -c 32000000 /dev/urandom
  { yes "Vistrel end-to-end payload, a line of text that deflates well enough" || true; } | head -c 32000000
} >"$work/one_large/Vistrel.aex"
rm -f "$out/one_large.zip"
(cd "$work/one_large" && zip -q -X -D -1 "$out/one_large.zip" Vistrel.aex)
