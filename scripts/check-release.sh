#!/usr/bin/env bash
# Checks a signed installer against a build of its source: that it is that
# build's file with an Authenticode signature added and nothing else changed,
# and that the signature verifies (against CAFILE, or the system's
# certificate authorities).
#   usage: check-release.sh SIGNED.exe UNSIGNED.exe [CAFILE]
# Exit status 0 only when both hold.
set -euo pipefail
signed=${1:?usage: check-release.sh SIGNED.exe UNSIGNED.exe [CAFILE]}
unsigned=${2:?usage: check-release.sh SIGNED.exe UNSIGNED.exe [CAFILE]}
ca=${3:-}
scripts=$(cd "$(dirname "$0")" && pwd)
status=0

python3 "$scripts/compare-installers.py" --signed "$signed" "$unsigned" || status=1

args=(verify -in "$signed")
[ -n "$ca" ] && args+=(-CAfile "$ca")
if out=$(osslsigncode "${args[@]}" 2>&1); then
  echo "$signed: the signature verifies"
else
  echo "$signed: the signature does not verify"
  status=1
fi
echo "$out" | sed 's/^/  /'
exit $status
