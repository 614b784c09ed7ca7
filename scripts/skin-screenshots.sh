#!/usr/bin/env bash
# Shows each window of the installer's skin package under Wine in a virtual
# X display and writes one PNG per view into OUTDIR: the main window on each
# of its three pages, both agreement windows, and the message box for each
# type the installer uses; then the real installer's pages from one whole
# installation (OUTDIR/installer/); then every window again at 150 % and 200 %
# (OUTDIR/dpi144/, OUTDIR/dpi192/, the installer's pages in installer/ there),
# each in a prefix whose registry sets that scale. Not a test.   usage: scripts/skin-screenshots.sh OUTDIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
out=${1:?usage: skin-screenshots.sh OUTDIR}
mkdir -p "$out"
out=$(cd "$out" && pwd)

[ -f "$build/build.ninja" ] || "$root/scripts/build.sh"
cmake --build "$build" --target skin_demo -j "${KX_JOBS:-2}"
"$root/scripts/wine-prefix.sh" "$build/wineprefix"

# shoot OUTDIR DPI: every view below; DPI 96 runs in the build's prefix,
# another in a copy of it whose registry reports that scale.
shoot() {
xvfb-run -a -s "-screen 0 1600x1200x24" bash -s "$build" "$1" "$2" "$root" <<'INNER'
set -euo pipefail
build=$1 out=$2 dpi=$3 root=$4
cd "$build/tests/skin"
run=("$build/wine-run.sh")
if [ "$dpi" != 96 ]; then
  export WINEPREFIX="$build/screenshot-dpi-prefix" WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
  "$root/scripts/wine-copy.sh" "$build/wineprefix" "$WINEPREFIX"
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  run=(wine)
fi
# name:arguments of skin_demo.exe (page, how long it stays, the control Tab reaches)
shots="main_page0:main,0,6 main_page1:main,1,6 main_page2:main,2,6
  main_focus_install:main,0,6,btn_install_start main_focus_check:main,0,6,check_userprot
  userargment:userarg,6 privacy:privacy,6
  msgbox_10:msgbox,10,6 msgbox_30:msgbox,30,6 msgbox_34:msgbox,34,6
  msgbox_44:msgbox,44,6 msgbox_100:msgbox,100,6 msgbox_0:msgbox,0,6"
for shot in $shots; do
  name=${shot%%:*} args=${shot#*:}
  "${run[@]}" skin_demo.exe ${args//,/ } >/dev/null 2>&1 &
  pid=$!
  sleep 4
  /usr/bin/import -window root "$out/$name.full.png"
  wait "$pid" || true
  # Keep the window and its shadow, not the empty screen around it.
  /usr/bin/convert "$out/$name.full.png" -trim +repage "$out/$name.png"
  rm -f "$out/$name.full.png"
  echo "skin-screenshots: $out/$name.png"
done
if [ "$dpi" != 96 ]; then
  wineserver -k || true
  rm -rf "$WINEPREFIX"
fi
INNER
}
shoot "$out" 96
for dpi in 144 192; do
  mkdir -p "$out/dpi$dpi"
  shoot "$out/dpi$dpi" "$dpi"
done

# The real installer's pages, from one whole installation (a fresh prefix)
# at each scale, with the message box of a program directory it refuses.
for dpi in 96 144 192; do
  dir=$out/installer
  [ "$dpi" = 96 ] || dir=$out/dpi$dpi/installer
  KX_DPI=$dpi KX_MESSAGE_BOX=1 "$root/scripts/walkthrough.sh" "$build/screenshot-prefix" "$dir" >/dev/null
  rm -rf "$build/screenshot-prefix"
  for f in "$dir"/*.png; do echo "skin-screenshots: $f"; done
done
