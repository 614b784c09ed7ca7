#!/usr/bin/env bash
# Signs a Windows executable with Authenticode (SHA-256) by osslsigncode, with
# the release's PKCS#12 certificate. The password is read from its file by
# osslsigncode itself, so it is never on a command line or in a log. The
# signing time is the release's date; a time-stamp server, when given,
# counter-signs with the real time.
#   usage: sign.sh IN OUT
# Settings (environment): KX_SIGN_PKCS12 (required), KX_SIGN_PASSWORD_FILE,
# KX_SIGN_TIMESTAMP_URL, KX_SIGN_DESCRIPTION, KX_SIGN_URL, SOURCE_DATE_EPOCH.
set -euo pipefail
in=${1:?usage: sign.sh IN OUT}
out=${2:?usage: sign.sh IN OUT}
# -comm: signed as a company (commercial code signing), as the publisher is one.
args=(sign -pkcs12 "${KX_SIGN_PKCS12:?sign.sh: KX_SIGN_PKCS12 is not set}" -h sha256 -comm)
[ -n "${KX_SIGN_PASSWORD_FILE:-}" ] && args+=(-readpass "$KX_SIGN_PASSWORD_FILE")
[ -n "${KX_SIGN_DESCRIPTION:-}" ] && args+=(-n "$KX_SIGN_DESCRIPTION")
[ -n "${KX_SIGN_URL:-}" ] && args+=(-i "$KX_SIGN_URL")
[ -n "${SOURCE_DATE_EPOCH:-}" ] && args+=(-time "$SOURCE_DATE_EPOCH")
[ -n "${KX_SIGN_TIMESTAMP_URL:-}" ] && args+=(-ts "$KX_SIGN_TIMESTAMP_URL")
mkdir -p "$(dirname "$out")"
rm -f "$out.tmp"
if ! log=$(osslsigncode "${args[@]}" -in "$in" -out "$out.tmp" 2>&1); then
  echo "sign.sh: osslsigncode could not sign $in:" >&2
  echo "$log" >&2
  rm -f "$out.tmp"
  exit 1
fi
mv -f "$out.tmp" "$out"
