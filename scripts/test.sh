#!/usr/bin/env bash
# Builds everything (see build.sh) and runs every test under Wine, inside a
# virtual X display so that test windows are real but invisible.
# Extra arguments go to ctest (for example: -R StringBundle).
# The whole run ends after KX_TEST_TIMEOUT seconds (default 2400) at the
# latest (the tests take 3 to 15 minutes on a busy machine of two cores):
# what still runs then is printed, ended, and the run fails.
# KX_TEST_SERVER_LOG=1 keeps a debug log of every wineserver of the run in
# build/test-logs (large), whose last lines a hang report shows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
limit=${KX_TEST_TIMEOUT:-2400}
procs=$root/scripts/wine-procs.sh
source "$root/scripts/deadline.sh"

source "$root/scripts/emulation-switch.sh"
kx_emulation_begin

# Signing is tested in a signed build of the tests' own (build/signed-build),
# so the build stays as its user configured it. A build folder that an earlier
# version of this script configured with its throwaway certificate is set
# back to unsigned.
test_cert=$(realpath -m "$build/test-signing")
cached=$(sed -n 's/^KX_SIGN_PKCS12:FILEPATH=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
build_args=()
[ "$cached" = "$test_cert/release.p12" ] && build_args=(-DKX_SIGN_PKCS12= -DKX_SIGN_PASSWORD_FILE=)
"$root/scripts/build.sh" "${build_args[@]}"
build=$(realpath "$build")
# Wine processes an interrupted earlier run of this build left behind end
# first: a wineserver of a deleted prefix copy would otherwise be found by a
# new copy that happens to get the same folder number.
"$procs" end "$build"
# The prefix is created once, before tests start in parallel.
"$root/scripts/wine-prefix.sh" "$build/wineprefix"
# The templates that every end-to-end case copies its own prefix from.
"$root/scripts/wine-prefix.sh" "$build/e2e/template-win64"
"$root/scripts/wine-prefix.sh" "$build/e2e/template-win32" win32  # a 32-bit Windows
rm -rf "$build/test-logs" && mkdir -p "$build/test-logs"
export KX_TEST_SERVER_LOG=${KX_TEST_SERVER_LOG:-}

# One wineserver for the whole run, started apart from the tests: a test that
# started it would share its output pipe and seem to run until every test ends.
export WINEPREFIX="$build/wineprefix"
"$root/scripts/wineserver-start.sh" "$build/test-logs/wineserver-shared.log"
finish() {
  # Every Wine process of this build ends with the run, also those of a test
  # that CTest ended at its time-out (it ends only the test's own processes).
  "$procs" end "$build"
  kx_emulation_end
}
trap finish EXIT

cd "$build"
# In a session of its own, so that the whole tree can be ended at once.
setsid xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --output-on-failure -j "${KX_TEST_JOBS:-2}" "$@" &
run=$!
trap 'kill -TERM -- -$run 2>/dev/null; exit 130' INT TERM
rc=0
kx_wait_deadline "$run" "$limit" || rc=$?
if [ $rc = 124 ]; then
  echo "test.sh: HANG: the tests did not end within $limit s (KX_TEST_TIMEOUT); still running:"
  ps -s "$run" -o pid=,ppid=,stat=,etime=,wchan:22=,args= | cut -c1-220 | sed 's/^/  /'
  echo "test.sh: Wine processes of $build:"
  "$procs" report "$build"
  kill -TERM -- "-$run" 2>/dev/null
  sleep 2
  kill -KILL -- "-$run" 2>/dev/null
  echo "test.sh: FAILED: the run hung and was ended (see above)"
fi
exit $rc
