#!/usr/bin/env bash
# The signed installer a build makes: it verifies against the certificate it
# was signed with; the check script finds it to be the build's installer plus
# a signature; it goes through a whole installation under Wine and installs
# the product's programs signed; and a copy with one payload byte changed
# fails both the signature and the check.
#   usage: signed_release_test.sh BUILD CAFILE TESTBUILD
# BUILD is the signed build (tests/scripts/signed_build.sh); TESTBUILD the
# build whose prefix template and walkthrough driver the installation uses.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:?usage: signed_release_test.sh BUILD CAFILE TESTBUILD}
ca=${2:?usage: signed_release_test.sh BUILD CAFILE TESTBUILD}
testbuild=${3:?usage: signed_release_test.sh BUILD CAFILE TESTBUILD}
signed=$build/signed/kxVistralSetup.exe
unsigned=$build/app/kxVistralSetup.exe
work=$build/release-test
rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAILED: $*"; exit 1; }

# The release as built.
rc=0
"$root/scripts/check-release.sh" "$signed" "$unsigned" "$ca" >"$work/check.txt" 2>&1 || rc=$?
cat "$work/check.txt"
[ $rc -eq 0 ] || fail "the signed installer does not pass the check"
grep -q "^$signed matches $unsigned" "$work/check.txt" || fail "the check does not say the signed file matches"
grep -q "Signature verification: ok" "$work/check.txt" || fail "osslsigncode did not verify the signature"
grep -q "Message digest algorithm *: SHA256" "$work/check.txt" || fail "the signature is not SHA-256"

# One byte in the middle of the payload archive changed.
python3 -c '
import sys
sys.path.insert(0, sys.argv[1])
from pe_file import PE
data = bytearray(open(sys.argv[2], "rb").read())
for start, size, name, _ in PE(bytes(data)).resources:
    if name == "7Z/101":
        data[start + size // 2] ^= 0x01
        break
else:
    sys.exit("no payload resource 7Z/101")
open(sys.argv[3], "wb").write(data)
' "$root/scripts" "$signed" "$work/changed.exe"
rc=0
"$root/scripts/check-release.sh" "$work/changed.exe" "$unsigned" "$ca" >"$work/changed.txt" 2>&1 || rc=$?
cat "$work/changed.txt"
[ $rc -ne 0 ] || fail "the check passes a copy with a changed payload byte"
grep -q "does not match $unsigned: first difference at byte [0-9]*: resource 7Z/101" "$work/changed.txt" ||
  fail "the check does not name the payload as what differs"
osslsigncode verify -CAfile "$ca" -in "$work/changed.exe" >/dev/null 2>&1 &&
  fail "osslsigncode verifies a copy with a changed payload byte"

# A whole installation from the signed file; the installed programs are signed.
# The pictures of its pages stay in $work when it fails.
rc=0
timeout -k 10 "${KX_WALKTHROUGH_TIMEOUT:-240}" \
  env KX_BUILD_DIR="$testbuild" "$root/scripts/walkthrough.sh" "$work/prefix" "$work/pages" "$signed" >"$work/walkthrough.txt" 2>&1 || rc=$?
dir=$(sed -n 's/^install_dir=//p' "$work/walkthrough.txt")
[ $rc -eq 0 ] && [ -n "$dir" ] || {
  cat "$work/walkthrough.txt"; ls "$work/pages" 2>/dev/null
  fail "the signed installer did not go through a whole installation (status $rc)"
}
host_dir=$work/prefix/drive_c/$(echo "${dir#C:\\}" | tr '\\' /)
for program in kxVistral.exe launcher.exe updater.exe Uninstall.exe; do
  osslsigncode verify -CAfile "$ca" -in "$host_dir/$program" >/dev/null 2>&1 ||
    fail "the installed $program is not signed with the release's certificate"
done
echo "the signed installer installed into $dir; its four programs verify"
rm -rf "$work"
