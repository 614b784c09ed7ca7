#!/usr/bin/env bash
# Runs one group of end-to-end cases of the real installer, each case in a
# fresh copy of the prepared template prefix with a wineserver of its own.
#   usage: run-cases.sh BUILD SUITE [win64|win32] [WINDOWS-VERSION]
# The version (for example win81) is what the copied prefix reports.
set -uo pipefail
build=$1 suite=$2 arch=${3:-win64} version=${4:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
template=$build/e2e/template-$arch
work=$build/e2e/$suite
driver=$build/tests/e2e/e2e_tests.exe
"$root/scripts/wine-prefix.sh" "$template" "$arch" || exit 1

winpath() { echo "Z:${1//\//\\}"; }
export WINEARCH=$arch WINEDEBUG=-all WINEPREFIX=$work/prefix
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
export KX_E2E_SETUP=$(winpath "$build/app/kxVistralSetup.exe")
export KX_E2E_DAMAGED_SETUP=$(winpath "$build/tests/e2e/kxVistralSetup_damaged.exe")
export KX_E2E_LARGE_SETUP=$(winpath "$build/tests/e2e/kxVistralSetup_large.exe")
export KX_E2E_PRODUCT=$(winpath "$build/payload/")
# The usage report goes to a closed port on this machine, never further.
export http_proxy=http://127.0.0.1:9 HTTP_PROXY=http://127.0.0.1:9

fresh() {
  wineserver -k >/dev/null 2>&1
  "$root/scripts/wine-copy.sh" "$template" "$WINEPREFIX" || return 1
  if [ -n "$version" ]; then
    sed -i "s/^\"Version\"=\"win10\"/\"Version\"=\"$version\"/" "$WINEPREFIX/user.reg"
    grep -q "\"Version\"=\"$version\"" "$WINEPREFIX/user.reg" || return 1
  fi
  # Started apart, so that it does not hold the output pipe of this script.
  wineserver -p </dev/null >/dev/null 2>&1
}
# Output goes through a file: Wine's helper processes outlive the program.
run_driver() {
  local out; out=$(mktemp)
  wine "$driver" "$@" >"$out" 2>&1 </dev/null
  local rc=$?
  cat "$out"; rm -f "$out"
  return $rc
}
trap 'wineserver -k >/dev/null 2>&1' EXIT

fresh || { echo "run-cases: cannot copy $template" >&2; exit 1; }
cases=$(run_driver --gtest_list_tests "--gtest_filter=$suite.*" | tr -d '\r' | sed -n 's/^  \([A-Za-z0-9_]*\).*/\1/p')
[ -n "$cases" ] || { echo "run-cases: no cases in $suite" >&2; exit 1; }
failed=0 first=1
for c in $cases; do
  [ $first = 1 ] || fresh || exit 1
  first=0
  start=$(date +%s.%N)
  run_driver "--gtest_filter=$suite.$c" || { failed=$((failed + 1)); echo "FAILED $suite.$c"; }
  echo "$suite.$c: $(awk "BEGIN { printf \"%.1f\", $(date +%s.%N) - $start }") s"
done
wineserver -k >/dev/null 2>&1
# Copies are kept after a failure, for looking into.
[ $failed = 0 ] && rm -rf "$work"
exit $((failed > 0))
