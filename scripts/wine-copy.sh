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
# Debian's Wine finds a prefix's wineserver in a folder of its own under
# $TMPDIR, named in the prefix's file "wineserver", by the prefix folder's
# device and inode numbers. A copy that kept the template's file would share
# that folder with the template and every other copy; and a copy made anew
# in the place of another gets the same inode number at once, so its first
# program would meet the replaced copy's wineserver if that still ran. A copy
# therefore has no such file: Wine makes it a folder of its own.
tmp=${TMPDIR:-/tmp}
old_root=
if [ -f "$copy/wineserver" ] && [ "$(cat "$copy/wineserver")" != "$(cat "$template/wineserver" 2>/dev/null)" ]; then
  old_root=$(grep -xE 'wine-[A-Za-z0-9]{6}' "$copy/wineserver" || true)
fi
rm -rf "$copy"
mkdir -p "$copy"
cp -a --link "$template/." "$copy/"
rm -f "$copy/wineserver"
# The replaced copy's folder of sockets goes too, unless a wineserver still
# works in it (a server's working folder lies in it).
if [ -n "$old_root" ] && [ -d "$tmp/$old_root" ]; then
  busy=
  for cwd in /proc/[0-9]*/cwd; do
    case $(readlink "$cwd" 2>/dev/null) in "$tmp/$old_root"/*) busy=1; break ;; esac
  done
  [ -n "$busy" ] || rm -rf "${tmp:?}/$old_root"
fi
cd "$copy"
find . -type f -links +1 ! -iregex '.*\.\(dll\|exe\|drv\|sys\|nls\|ocx\|vxd\|acm\|cpl\|tlb\|ax\|ds\|mui\|ttf\|ttc\|fon\|com\|[a-z]*16\)' -print0 |
  while IFS= read -r -d '' f; do
    cp -p "$f" "$f.kx-copy" && mv -f "$f.kx-copy" "$f"
  done
