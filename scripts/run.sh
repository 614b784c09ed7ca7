#!/usr/bin/env bash
# Builds everything and starts the installer under Wine in the build's prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}

"$root/scripts/build.sh"
exe="$build/app/kxVistralSetup.exe"
if [ ! -f "$exe" ]; then
  echo "run: everything is built; the installer has no entry point yet, so there is nothing to start." >&2
  exit 0
fi
exec "$build/wine-run.sh" "$exe"
