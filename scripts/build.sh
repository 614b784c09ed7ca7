#!/usr/bin/env bash
# Installs what is missing (as root), builds the dependencies once, then
# configures and builds the project in $KX_BUILD_DIR (default: ./build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}

if [ "$(id -u)" -eq 0 ]; then
  "$root/scripts/setup.sh"
elif ! command -v i686-w64-mingw32-g++-posix >/dev/null || ! command -v wine >/dev/null; then
  echo "build: tools are missing; run 'sudo scripts/setup.sh' once" >&2
  exit 1
elif [ "$("$root/scripts/i386-emulation.sh" probe)" = none ]; then
  # The emulator's registration does not survive a reboot.
  echo "build: this machine runs no 32-bit programs now; run 'sudo scripts/setup.sh' (again after each reboot)" >&2
  exit 1
fi

mkdir -p "$build"
"$root/scripts/build-deps.sh" "$build/deps.cmake"

werror=OFF
[ "${CI:-}" = true ] && werror=ON
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DKX_WERROR=$werror "$@"
elif [ $# -gt 0 ] || [ "${CI:-}" = true ]; then
  cmake "$build" -DKX_WERROR=$werror "$@" >/dev/null
fi
cmake --build "$build" -j "${KX_JOBS:-$(nproc)}"
