#!/usr/bin/env bash
# Goes through one whole installation of the built installer on a virtual
# display, in a fresh copy of the template prefix, as a user would (see
# tests/e2e/walkthrough.cpp); writes a PNG of each page into PICTURES (if
# given) and prints the walkthrough's lines (install_dir=, install_s=, ...).
# KX_WARM_DESKTOP=1 brings Wine's desktop up before the clock of the first
# painted window starts (kx_walkthrough.exe --warm-desktop). KX_DPI=144 (or
# another value) runs it at that display scale, which the prefix's registry
# sets (HKCU\Control Panel\Desktop, LogPixels); KX_MESSAGE_BOX=1 first tries a
# program directory the installer refuses, for a picture of its message box.
#   usage: walkthrough.sh PREFIX [PICTURES] [SETUP.exe]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
prefix=$(realpath -m "${1:?usage: walkthrough.sh PREFIX [PICTURES] [SETUP.exe]}")
pictures=${2:-}
exe=${3:-$build/app/kxVistralSetup.exe}
template=$build/e2e/template-win64
cmake --build "$build" --target kx_walkthrough -j "${KX_JOBS:-2}" >/dev/null
"$root/scripts/wine-prefix.sh" "$template"
"$root/scripts/wine-copy.sh" "$template" "$prefix"

export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
export http_proxy=http://127.0.0.1:9  # the usage report stays on this machine
winpath() { echo "Z:${1//\//\\}"; }
args=()
if [ "${KX_WARM_DESKTOP:-}" = 1 ]; then args+=(--warm-desktop); fi
if [ "${KX_MESSAGE_BOX:-}" = 1 ]; then args+=(--message-box); fi
dpi=${KX_DPI:-96}
case $dpi in *[!0-9]* | '') echo "walkthrough.sh: KX_DPI is a number" >&2; exit 2 ;; esac
args+=("$(winpath "$exe")")
if [ -n "$pictures" ]; then
  mkdir -p "$pictures"
  pictures=$(cd "$pictures" && pwd)
  args+=("$(winpath "$pictures")\\")
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
rc=0
# Wine's helpers outlive the program: the output goes through a file.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wineserver -p </dev/null >/dev/null 2>&1
  [ '"$dpi"' = 96 ] || wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d '"$dpi"' /f >/dev/null 2>&1
  wine "$@" >"'"$out"'" 2>&1 </dev/null
  rc=$?
  wineserver -k >/dev/null 2>&1
  exit $rc' walkthrough "$build/tests/e2e/kx_walkthrough.exe" "${args[@]}" || rc=$?
tr -d '\r' <"$out"
if [ -n "$pictures" ]; then
  for bmp in "$pictures"/*.bmp; do
    [ -f "$bmp" ] && /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
fi
exit $rc
