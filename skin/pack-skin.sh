#!/usr/bin/env bash
# Packs the skin files into one flat zip, in the order given, with fixed time
# stamps and no extra fields, so that the same files always give the same
# bytes. Any old archive is replaced; "Thumbs.db" is never packed.
#   usage: pack-skin.sh OUTPUT.zip FILE...
set -euo pipefail
out=${1:?usage: pack-skin.sh OUTPUT.zip FILE...}
shift
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

names=()
for f in "$@"; do
  name=$(basename "$f")
  [ "$name" = Thumbs.db ] && continue
  cp "$f" "$tmp/$name"
  touch -d '2024-01-01 00:00:00 UTC' "$tmp/$name"
  names+=("$name")
done
rm -f "$out"
out_abs=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
(cd "$tmp" && TZ=UTC zip -q -X -D -9 "$out_abs" "${names[@]}")
