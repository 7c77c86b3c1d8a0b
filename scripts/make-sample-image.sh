#!/usr/bin/env bash
# Writes a sample firmware image: whole 4096-byte sectors of a byte ramp,
# each sector's ramp starting from a different byte so no two sectors are
# alike, and each sector's first byte 0xA0 + its index so that its 8-bit
# sum is not 0.  Usage: make-sample-image.sh FILE [SECTORS]   (default 3)
set -euo pipefail
file=${1:?usage: make-sample-image.sh FILE [SECTORS]}
sectors=${2:-3}

ramp=$(mktemp)
trap 'rm -f "$ramp"' EXIT
for ((byte = 0; byte < 256; byte++)); do
  printf "\\$(printf '%03o' "$byte")"
done >"$ramp"

for ((sector = 0; sector < sectors; sector++)); do
  start=$(((sector * 85 + 1) % 256))
  printf "\\$(printf '%03o' $((0xA0 + sector)))"
  tail -c +$((start + 2)) "$ramp"
  head -c "$start" "$ramp"
  for ((block = 1; block < 16; block++)); do
    tail -c +$((start + 1)) "$ramp"
    head -c "$start" "$ramp"
  done
done >"$file"
