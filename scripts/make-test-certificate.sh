#!/usr/bin/env bash
# Makes a throwaway code-signing certificate for the tests, once per folder:
# DIR/release.p12 (certificate and key), DIR/password (its random password)
# and DIR/release.pem (the certificate alone, to verify against). It signs
# nothing a user should trust and is never committed.
#   usage: make-test-certificate.sh DIR
set -euo pipefail
dir=${1:?usage: make-test-certificate.sh DIR}
[ -f "$dir/release.p12" ] && [ -f "$dir/password" ] && [ -f "$dir/release.pem" ] && exit 0
mkdir -p "$dir"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
openssl rand -hex 16 >"$tmp/password"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$tmp/key.pem" -out "$tmp/release.pem" \
  -days 3650 -subj "/O=Norvane test/CN=Vistral3.0 test signing" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
openssl pkcs12 -export -inkey "$tmp/key.pem" -in "$tmp/release.pem" -out "$tmp/release.p12" \
  -passout "file:$tmp/password"
chmod 600 "$tmp/password" "$tmp/release.p12"
mv "$tmp/password" "$tmp/release.pem" "$tmp/release.p12" "$dir/"
