# OpenSSL's libcrypto alone, static. The installer uses only the legacy DES
# API, so everything else that can go is cut to keep the build short; des and
# the deprecated APIs must stay.
# Without sockets and engines, libcrypto.a needs only -ladvapi32 -luser32, which
# MinGW links by default (lib/crypto-link.txt). The DES calls are deprecated:
# build consumers with -DOPENSSL_SUPPRESS_DEPRECATED to silence the warnings.
build() {
  local src=$1 prefix=$2 work=$3
  local cut=(
    no-shared no-asm no-tests no-module no-dso no-engine no-dynamic-engine
    no-autoload-config no-async no-sock no-dgram no-ui-console no-err no-filenames
    no-aria no-bf no-blake2 no-camellia no-cast no-chacha no-cmac no-cmp no-cms
    no-comp no-ct no-dh no-dsa no-ec no-ec2m no-gost no-idea no-md4 no-mdc2
    no-ocb no-ocsp no-poly1305 no-rc2 no-rc4 no-rc5 no-rfc3779 no-rmd160
    no-scrypt no-seed no-siphash no-siv no-sm2 no-sm3 no-sm4 no-srp no-srtp
    no-ts no-whirlpool no-ssl no-tls no-dtls no-psk no-legacy
  )
  # Out of tree, so the unpacked source stays pristine for the next build.
  (cd "$work" && perl "$src/Configure" mingw "${cut[@]}" \
    --cross-compile-prefix="$KX_HOST-" CC=gcc-posix --prefix="$prefix" -O2)
  make -C "$work" -j "$KX_JOBS" build_generated
  make -C "$work" -j "$KX_JOBS" libcrypto.a
  mkdir -p "$prefix/include/openssl" "$prefix/lib"
  cp "$src"/include/openssl/*.h "$work"/include/openssl/*.h "$prefix/include/openssl/"
  cp "$work/libcrypto.a" "$prefix/lib/"
  echo "-ladvapi32 -luser32" > "$prefix/lib/crypto-link.txt"
}
