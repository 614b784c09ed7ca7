#!/usr/bin/env bash
# Shows each test layout of the window framework, and each window layout of
# the installer's skin package, under Wine in a virtual X display and writes
# one PNG per layout into OUTDIR, for reviewing the look.
# Not a test.   usage: scripts/ui-screenshots.sh OUTDIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
out=${1:?usage: ui-screenshots.sh OUTDIR}
mkdir -p "$out"
out=$(cd "$out" && pwd)

[ -f "$build/build.ninja" ] || "$root/scripts/build.sh"
cmake --build "$build" --target ui_demo ui_skin_demo -j "${KX_JOBS:-2}"
"$root/scripts/wine-prefix.sh" "$build/wineprefix"

# One virtual display for all layouts; ImageMagick from /usr/bin.
xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$build" "$out" <<'INNER'
set -euo pipefail
build=$1 out=$2
cd "$build/tests/ui"
shots="ui_demo.exe:test_main.xml ui_demo.exe:test_ani.xml
  ui_skin_demo.exe:wnd_main_zh_CN.xml ui_skin_demo.exe:messagebox_zh_CN.xml
  ui_skin_demo.exe:wnd_userargment_zh_CN.xml ui_skin_demo.exe:wnd_privacy_zh_CN.xml"
for shot in $shots; do
  exe=${shot%%:*} layout=${shot#*:}
  "$build/wine-run.sh" "$exe" "$layout" 6 &
  pid=$!
  sleep 4
  /usr/bin/import -window root "$out/${layout%.xml}.full.png"
  wait "$pid" || true
  # Keep the window and its shadow, not the empty screen around it.
  /usr/bin/convert "$out/${layout%.xml}.full.png" -trim +repage "$out/${layout%.xml}.png"
  rm -f "$out/${layout%.xml}.full.png"
  echo "ui-screenshots: $out/${layout%.xml}.png"
done
INNER
