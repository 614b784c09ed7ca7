#!/usr/bin/env bash
# The installer's own figures (after scripts/build.sh):
#  - the stub: the installer's size minus its payload resource 7Z/101, against
#    its target, and its largest parts by the installer's link map;
#  - the time from process start to the first painted main window under Wine;
#  - a whole installation (极速安装 pressed to finish page) against native
#    `7zz x` of the same payload archive.
# Each Wine run uses a fresh copy of the prepared prefix on a virtual display;
# the machine is shared, so each figure is the best of three runs.
#   usage: bench/installer.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
exe=$build/app/kxVistralSetup.exe
payload=$build/payload/payload.7z
[ -f "$exe" ] && [ -f "$payload" ] || { echo "installer.sh: build first (scripts/build.sh)" >&2; exit 1; }
# Under the build folder: the prefix copies hard-link the template's files.
work=$build/bench-installer
rm -rf "$work" && mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

# The stub is what the download costs beyond the product: at most 1.2 MB.
exe_b=$(stat -c %s "$exe") payload_b=$(stat -c %s "$payload") stub_target=1200000
stub_b=$((exe_b - payload_b))
echo "installer: $exe_b bytes, payload resource: $payload_b bytes, stub: $stub_b bytes ($((stub_b / 1024)) KiB; target at most $stub_target bytes: $([ "$stub_b" -le "$stub_target" ] && echo met || echo missed))"
[ -f "$build/app/kxVistralSetup.map" ] && python3 "$root/bench/stub_map.py" "$build/app/kxVistralSetup.map"

best() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }
window_s= install_s= native_s=
for run in 1 2 3; do
  "$root/scripts/walkthrough.sh" "$work/prefix" "" "$exe" >"$work/out" ||
    { cat "$work/out"; echo "installer.sh: run $run failed" >&2; exit 1; }
  w=$(sed -n 's/^first_painted_window_s=//p' "$work/out")
  i=$(sed -n 's/^install_s=//p' "$work/out")
  rm -rf "$work/native" && mkdir -p "$work/native"
  t0=$(date +%s.%N)
  7zz x -y -bd -bso0 -bsp0 "-o$work/native" "$payload"
  n=$(awk "BEGIN { printf \"%.3f\", $(date +%s.%N) - $t0 }")
  echo "run $run: first painted window $w s, installation $i s, 7zz x $n s"
  window_s=$(best "$w" "$window_s") install_s=$(best "$i" "$install_s") native_s=$(best "$n" "$native_s")
done
echo "best: first painted window $window_s s; installation $install_s s; 7zz x $native_s s"
echo "ratio (installation / 7zz x): $(awk "BEGIN { printf \"%.1f\", $install_s / $native_s }")"
