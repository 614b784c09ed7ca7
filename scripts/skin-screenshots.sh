#!/usr/bin/env bash
# Shows each window of the installer's skin package under Wine in a virtual
# X display and writes one PNG per view into OUTDIR: the main window on each
# of its three pages, both agreement windows, and the message box for each
# type the installer uses; then the real installer's pages from one whole
# installation (OUTDIR/installer/). Not a test.   usage: scripts/skin-screenshots.sh OUTDIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
out=${1:?usage: skin-screenshots.sh OUTDIR}
mkdir -p "$out"
out=$(cd "$out" && pwd)

[ -f "$build/build.ninja" ] || "$root/scripts/build.sh"
cmake --build "$build" --target skin_demo -j "${KX_JOBS:-2}"
"$root/scripts/wine-prefix.sh" "$build/wineprefix"

xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$build" "$out" <<'INNER'
set -euo pipefail
build=$1 out=$2
cd "$build/tests/skin"
# name:arguments of skin_demo.exe (the last one is how long it stays)
shots="main_page0:main,0,6 main_page1:main,1,6 main_page2:main,2,6
  userargment:userarg,6 privacy:privacy,6
  msgbox_10:msgbox,10,6 msgbox_30:msgbox,30,6 msgbox_34:msgbox,34,6
  msgbox_44:msgbox,44,6 msgbox_100:msgbox,100,6 msgbox_0:msgbox,0,6"
for shot in $shots; do
  name=${shot%%:*} args=${shot#*:}
  "$build/wine-run.sh" skin_demo.exe ${args//,/ } &
  pid=$!
  sleep 4
  /usr/bin/import -window root "$out/$name.full.png"
  wait "$pid" || true
  # Keep the window and its shadow, not the empty screen around it.
  /usr/bin/convert "$out/$name.full.png" -trim +repage "$out/$name.png"
  rm -f "$out/$name.full.png"
  echo "skin-screenshots: $out/$name.png"
done
INNER

# The real installer's pages, from one whole installation (a fresh prefix).
"$root/scripts/walkthrough.sh" "$build/screenshot-prefix" "$out/installer" >/dev/null
rm -rf "$build/screenshot-prefix"
for f in "$out"/installer/*.png; do echo "skin-screenshots: $f"; done
