#!/usr/bin/env bash
# Prepares a Debian 12 machine to build and test the installer. Run as root.
# Idempotent: a second run only checks and returns within seconds.
set -euo pipefail
. "$(dirname "$0")/apt-robust.sh"

PACKAGES=(
  g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686
  cmake ninja-build make patch perl python3 dpkg-dev
  wine wine32:i386 wine64
  xvfb xauth xdotool x11-apps imagemagick fonts-wqy-microhei
  libz-mingw-w64-dev libstb-dev 7zip openssl zip unzip osslsigncode git
)

if [ "$(id -u)" -ne 0 ]; then
  echo "setup.sh must run as root (it installs packages)" >&2
  exit 1
fi

need_update=0

# 32-bit Wine needs the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

# Source lists: the same suites and components as the binary lists, so that
# the dependencies can be built from Debian's source packages.
src=/etc/apt/sources.list.d/debian.sources
if [ -f "$src" ] && ! grep -q '^Types:.*deb-src' "$src"; then
  sed -i 's/^Types: deb$/Types: deb deb-src/' "$src"
  need_update=1
fi
if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list \
   && ! grep -q '^deb-src ' /etc/apt/sources.list; then
  grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' >> /etc/apt/sources.list
  need_update=1
fi
# Lists never fetched (or without the source indexes) also need an update.
if ! ls /var/lib/apt/lists/*_Sources* >/dev/null 2>&1 \
   || ! ls /var/lib/apt/lists/*binary-i386_Packages* >/dev/null 2>&1; then
  need_update=1
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "$need_update" -eq 1 ] || [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  kx_apt_update
fi
if [ "${#missing[@]}" -gt 0 ]; then
  echo "installing: ${missing[*]}"
  kx_apt_install "${missing[@]}"
fi

# MinGW's POSIX thread model gives std::thread and std::mutex.
for tool in i686-w64-mingw32-gcc i686-w64-mingw32-g++; do
  if [ -e "/usr/bin/$tool-posix" ]; then
    current=$(readlink -f "/usr/bin/$tool" || true)
    if [ "$current" != "$(readlink -f "/usr/bin/$tool-posix")" ]; then
      update-alternatives --set "$tool" "/usr/bin/$tool-posix" >/dev/null
    fi
  fi
done

# Wine's 32-bit side runs every test program and the installer: a kernel that
# runs no 32-bit programs gets an emulator for them.
"$(dirname "$0")/i386-emulation.sh" ensure

echo "setup: packages ready"
