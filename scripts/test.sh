#!/usr/bin/env bash
# Builds everything (see build.sh) and runs every test under Wine, inside a
# virtual X display so that test windows are real but invisible.
# Extra arguments go to ctest (for example: -R StringBundle).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}

# The tests' build is signed with a throwaway certificate made here, so that
# signing is tested too; a build configured with a certificate of its own
# keeps that one.
test_cert=$(realpath -m "$build/test-signing")
cached=$(sed -n 's/^KX_SIGN_PKCS12:FILEPATH=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
sign_args=()
if [ -z "$cached" ] || [ "$cached" = "$test_cert/release.p12" ]; then
  "$root/scripts/make-test-certificate.sh" "$test_cert"
  [ -n "$cached" ] || sign_args=("-DKX_SIGN_PKCS12=$test_cert/release.p12"
                                 "-DKX_SIGN_PASSWORD_FILE=$test_cert/password")
fi
"$root/scripts/build.sh" "${sign_args[@]}"
# The prefix is created once, before tests start in parallel.
"$root/scripts/wine-prefix.sh" "$build/wineprefix"
# The templates that every end-to-end case copies its own prefix from.
"$root/scripts/wine-prefix.sh" "$build/e2e/template-win64"
"$root/scripts/wine-prefix.sh" "$build/e2e/template-win32" win32  # a 32-bit Windows
# One wineserver for the whole run, started apart from the tests: a test that
# started it would share its output pipe and seem to run until every test ends.
export WINEPREFIX="$build/wineprefix"
wineserver -p >/dev/null 2>&1 </dev/null || true  # one may run already
trap 'WINEPREFIX="$build/wineprefix" wineserver -k >/dev/null 2>&1 || true' EXIT
cd "$build"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --output-on-failure -j "${KX_TEST_JOBS:-2}" "$@"
