#!/usr/bin/env bash
# Rebuilding a signed release without its key: takes the product's programs,
# signed, from the released installer's payload, after checking that each is
# the program just built in DIR with a signature added and nothing else, and
# puts them in DIR in place of the unsigned ones.
#   usage: take-signed-programs.sh RELEASE.exe DIR NAME...
set -euo pipefail
release=${1:?usage: take-signed-programs.sh RELEASE.exe DIR NAME...}
dir=${2:?usage: take-signed-programs.sh RELEASE.exe DIR NAME...}
shift 2
scripts=$(cd "$(dirname "$0")/../scripts" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

python3 "$scripts/pe-resource.py" "$release" 7Z/101 "$tmp/payload.7z"
7zz x -bd -bso0 -bsp0 -o"$tmp/release" "$tmp/payload.7z" "$@"
for name in "$@"; do
  [ -f "$tmp/release/$name" ] || { echo "take-signed-programs: $release carries no $name" >&2; exit 1; }
  python3 "$scripts/compare-installers.py" --signed "$tmp/release/$name" "$dir/$name" >/dev/null || {
    echo "take-signed-programs: the released $name is not this build's $name with a signature:" >&2
    python3 "$scripts/compare-installers.py" --signed "$tmp/release/$name" "$dir/$name" >&2 || true
    exit 1
  }
  cp "$tmp/release/$name" "$dir/$name"
done
