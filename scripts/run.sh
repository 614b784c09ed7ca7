#!/usr/bin/env bash
# Builds everything and starts the installer under Wine, in a prefix made for
# running it (build/run-prefix; never the tests' prefix, never ~/.wine).
# With a display ($DISPLAY), the installer opens there for you to click through.
# Without one, it goes through one whole installation on a virtual display as
# a user would (ticks the agreement, presses 极速安装, waits for the finish
# page, presses 立即体验), saves a picture of each page, and prints where the
# product was installed, the pictures and the time the installation took.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}

source "$root/scripts/emulation-switch.sh"
kx_emulation_begin
"$root/scripts/build.sh"
exe=$build/app/kxVistralSetup.exe
template=$build/e2e/template-win64
prefix=$build/run-prefix
"$root/scripts/wine-prefix.sh" "$template"
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="

if [ -n "${DISPLAY:-}" ]; then
  # The prefix is kept between runs, as a machine keeps what was installed.
  [ -f "$prefix/system.reg" ] || "$root/scripts/wine-copy.sh" "$template" "$prefix"
  wine "$exe"
  exit
fi

shots=$build/run-screenshots
rm -rf "$shots"
out=$(mktemp)
trap 'rm -f "$out"; kx_emulation_end' EXIT
# Each run installs into a fresh prefix, so that it shows a first installation.
rc=0
"$root/scripts/walkthrough.sh" "$prefix" "$shots" "$exe" >"$out" || rc=$?
grep -v '^fixme\|^err:' "$out" || true
dir=$(sed -n 's/^install_dir=//p' "$out")
if [ "$rc" -ne 0 ] || [ -z "$dir" ]; then
  echo "run: the installation did not complete" >&2
  exit 1
fi
host_dir=$prefix/drive_c/$(echo "${dir#C:\\}" | tr '\\' /)
echo "run: installed into $dir inside the prefix, that is $host_dir"
echo "run: the product's files: $(find "$host_dir" -type f | wc -l)"
echo "run: pictures of each page:"
ls -1 "$shots"/*.png | sed 's/^/  /'
echo "run: the installation took $(sed -n 's/^install_s=//p' "$out") s (press 极速安装 to finish page)"
