#!/usr/bin/env bash
# The tests' own signed release: the installer built in BUILD/signed-build with
# the settings of BUILD and a throwaway certificate made here (never committed),
# so that signing is tested without touching BUILD, whose installer stays as
# its user configured it. Only the installer and its signed copy are built.
#   usage: signed_build.sh BUILD
# KX_JOBS sets the build's jobs (2).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:?usage: signed_build.sh BUILD}")
cert=$build/test-signing
signed=$build/signed-build
"$root/scripts/make-test-certificate.sh" "$cert"

setting() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
mkdir -p "$signed"
# The rebuild that checks this release reads the dependencies from beside it.
cp "$build/deps.cmake" "$signed/deps.cmake"
args=(-DKX_BUILD_TESTS=OFF "-DKX_DEPS_FILE=$signed/deps.cmake"
      "-DKX_SIGN_PKCS12=$cert/release.p12" "-DKX_SIGN_PASSWORD_FILE=$cert/password")
for s in CMAKE_BUILD_TYPE KX_COMPANY_URL KX_AGREEMENT_HOST KX_REPORT_HOST KX_PAYLOAD_DIR KX_WERROR; do
  args+=("-D$s=$(setting $s)")
done
start=$(date +%s)
cmake -S "$root" -B "$signed" -G Ninja "${args[@]}" >"$signed/configure.log" 2>&1 ||
  { tail -n 20 "$signed/configure.log"; exit 1; }
cmake --build "$signed" --target kx_signed_installer -j "${KX_JOBS:-2}" >"$signed/build.log" 2>&1 ||
  { tail -n 30 "$signed/build.log"; exit 1; }
echo "signed_build: $signed/signed/kxVistralSetup.exe built and signed in $(( $(date +%s) - start )) s"
