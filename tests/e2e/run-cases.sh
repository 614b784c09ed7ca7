#!/usr/bin/env bash
# Runs one group of end-to-end cases of the real installer, each case in a
# fresh copy of the prepared template prefix with a wineserver of its own.
#   usage: run-cases.sh BUILD SUITE [win64|win32] [WINDOWS-VERSION]
# The version (for example win81) is what the copied prefix reports.
# A case still running after KX_E2E_CASE_TIMEOUT seconds (default 120), or
# when the group's KX_TEST_DEADLINE (set by CTest a little below its
# time-out) comes, is reported with its Wine processes and what each waits
# in, then ended: it fails as hung, and the next case runs.
set -uo pipefail
build=$1 suite=$2 arch=${3:-win64} version=${4:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
template=$build/e2e/template-$arch
work=$build/e2e/$suite
driver=$build/tests/e2e/e2e_tests.exe
case_limit=${KX_E2E_CASE_TIMEOUT:-120}
group_limit=${KX_TEST_DEADLINE:-}
procs=$root/scripts/wine-procs.sh
source "$root/scripts/deadline.sh"
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

# Ends every Wine process of this group's prefix, also one whose folder a
# copy has just replaced (wineserver -k finds a server only by the folder).
end_all() { "$procs" end "$work"; }
fresh() {
  end_all
  "$root/scripts/wine-copy.sh" "$template" "$WINEPREFIX" || return 1
  # Z: (the host's root) is a network drive here: it lies on the same file
  # system as C:, so the two would tie for the drive with the most free
  # space that the user data folder goes to, and other programs writing to
  # that file system between two measurements would decide which wins.
  printf '\n[Software\\\\Wine\\\\Drives] 1796828987\n"z:"="network"\n' >>"$WINEPREFIX/system.reg"
  if [ -n "$version" ]; then
    sed -i "s/^\"Version\"=\"win10\"/\"Version\"=\"$version\"/" "$WINEPREFIX/user.reg"
    grep -q "\"Version\"=\"$version\"" "$WINEPREFIX/user.reg" || return 1
  fi
  # Started apart, so that it does not hold the output pipe of this script.
  "$root/scripts/wineserver-start.sh" "$build/test-logs/wineserver-$suite.log"
}
# Output goes through a file: Wine's helper processes outlive the program.
# NAME: what runs, for the report of a hang; LIMIT: its time in seconds.
run_driver() {
  local name=$1 limit=$2 out rc=0
  shift 2
  out=$(mktemp)
  if [ -n "$group_limit" ]; then
    local left=$((group_limit - SECONDS))
    [ $left -lt $limit ] && limit=$((left > 1 ? left : 1))
  fi
  wine "$driver" "$@" >"$out" 2>&1 </dev/null &
  kx_wait_deadline $! "$limit" || rc=$?
  cat "$out"; rm -f "$out"
  if [ $rc = 124 ]; then
    { echo "HANG: $name did not end within $limit s; its Wine processes:"
      "$procs" report "$work"; } >&2
    end_all
  fi
  return $rc
}
mkdir -p "$build/test-logs"
trap end_all EXIT

fresh || { echo "run-cases: cannot copy $template" >&2; exit 1; }
cases=$(run_driver "the list of $suite" 120 --gtest_list_tests "--gtest_filter=$suite.*" | tr -d '\r' | sed -n 's/^  \([A-Za-z0-9_]*\).*/\1/p')
[ -n "$cases" ] || { echo "run-cases: no cases in $suite" >&2; exit 1; }
failed=0 first=1
for c in $cases; do
  [ $first = 1 ] || fresh || exit 1
  first=0
  start=$(date +%s.%N)
  rc=0
  run_driver "$suite.$c" "$case_limit" "--gtest_filter=$suite.$c" || rc=$?
  if [ $rc = 124 ]; then
    failed=$((failed + 1)); echo "FAILED $suite.$c: hung"
  elif [ $rc != 0 ]; then
    failed=$((failed + 1)); echo "FAILED $suite.$c"
  fi
  echo "$suite.$c: $(awk "BEGIN { printf \"%.1f\", $(date +%s.%N) - $start }") s"
done
end_all
# Copies are kept after a failure, for looking into; the last one's folder
# of wineserver sockets (see wine-copy.sh) goes with it.
if [ $failed = 0 ]; then
  sockets=$(grep -sxE 'wine-[A-Za-z0-9]{6}' "$WINEPREFIX/wineserver") && rm -rf "${TMPDIR:-/tmp}/$sockets"
  rm -rf "$work"
fi
exit $((failed > 0))
