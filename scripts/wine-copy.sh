#!/usr/bin/env bash
# Makes a fresh Wine prefix from a prepared one in about two seconds.
#   usage: wine-copy.sh TEMPLATE COPY      (COPY is replaced)
# A prefix is over a gigabyte, nearly all of it Wine's own program files,
# which nothing writes: those are hard links to the template's. Every other
# file (registry, settings, whatever a program may rewrite in place) is a
# copy of its own, so nothing done in the copy reaches the template.
set -euo pipefail
template=${1:?usage: wine-copy.sh TEMPLATE COPY}
copy=${2:?usage: wine-copy.sh TEMPLATE COPY}
[ -f "$template/system.reg" ] || { echo "wine-copy: $template is no Wine prefix" >&2; exit 1; }
rm -rf "$copy"
mkdir -p "$copy"
cp -a --link "$template/." "$copy/"
cd "$copy"
find . -type f -links +1 ! -iregex '.*\.\(dll\|exe\|drv\|sys\|nls\|ocx\|vxd\|acm\|cpl\|tlb\|ax\|ds\|mui\|ttf\|ttc\|fon\|com\|[a-z]*16\)' -print0 |
  while IFS= read -r -d '' f; do
    cp -p "$f" "$f.kx-copy" && mv -f "$f.kx-copy" "$f"
  done
