#!/usr/bin/env bash
# Packs a directory's contents (not the directory itself) into a 7z archive
# the way the product payload is packed: LZMA2, with the x86 BCJ filter for
# executables (7-Zip's default filter choice). 7-Zip sorts the items itself,
# so their order does not depend on the file system. Two compression threads
# always: LZMA2 splits a large stream into blocks only when it has more than
# one, so the archive's bytes would follow the packing machine's processors
# (two also let the installer decode two blocks at once).
#   usage: pack.sh ARCHIVE DIR
set -euo pipefail
archive=${1:?usage: pack.sh ARCHIVE DIR}
dir=${2:?usage: pack.sh ARCHIVE DIR}
[ -d "$dir" ] || { echo "pack.sh: no directory $dir" >&2; exit 1; }
archive=$(realpath -m "$archive")
rm -f "$archive"
cd "$dir"
7zz a -t7z -m0=LZMA2 -mf=on -mmt=2 -bd -bso0 -bsp0 "$archive" .
