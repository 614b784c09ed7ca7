#!/usr/bin/env bash
# Creates a private Wine prefix once; later calls return at once.
#   usage: wine-prefix.sh PREFIX [win64|win32]   (default win64, as 64-bit Windows)
# The prefix reports Windows 10, maps the font "微软雅黑" to WenQuanYi Micro Hei,
# and never writes menu entries or file associations on the host. Its windows
# are unmanaged: Xvfb runs no window manager, and Wine would otherwise wait
# two seconds for one on every window it destroys.
set -euo pipefail
prefix=$(realpath -m "${1:?usage: wine-prefix.sh PREFIX [win64|win32]}")  # Wine wants it absolute
arch=${2:-win64}
# Bump when the settings below change: older prefixes are then made anew.
stamp="$prefix/.kx-ready-2"
[ -f "$stamp" ] && exit 0

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$stamp" ] && exit 0

export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
wineserver -k >/dev/null 2>&1 || true
rm -rf "$prefix"
echo "wine-prefix: creating $prefix" >&2
wineboot -i >/dev/null 2>&1

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
# Registry files of version 5 are UTF-16 LE with a byte-order mark.
printf '%s\r\n' \
  'Windows Registry Editor Version 5.00' '' \
  '[HKEY_CURRENT_USER\Software\Wine]' '"Version"="win10"' '' \
  '[HKEY_CURRENT_USER\Software\Wine\DllOverrides]' '"winemenubuilder.exe"=""' '"mscoree"=""' '"mshtml"=""' '' \
  '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' '"微软雅黑"="WenQuanYi Micro Hei"' '"Microsoft YaHei"="WenQuanYi Micro Hei"' '' \
  '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
  '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' |
  iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
wineserver -w
touch "$stamp"
