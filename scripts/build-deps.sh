#!/usr/bin/env bash
# Builds the third-party libraries for i686-w64-mingw32 from Debian's source
# packages into a cache outside the source tree, one folder per package
# version and build script, and writes a CMake file with their locations.
#   usage: build-deps.sh OUTPUT.cmake [package...]
# The cache is $KX_DEPS_CACHE (default: ~/.cache/kxvistral-deps); a package
# already built at the same version by the same script is not built again.
# Clones whose scripts differ (other build settings) keep their own folders,
# so that one clone's build never replaces the library another links.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out=${1:?usage: build-deps.sh OUTPUT.cmake [package...]}
shift
cache=${KX_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kxvistral-deps}
jobs=${KX_JOBS:-$(nproc)}
export KX_HOST=i686-w64-mingw32 KX_JOBS=$jobs KX_TOOLCHAIN="$here/../cmake/toolchain-i686-mingw.cmake"
mkdir -p "$cache/src"

packages=("$@")
# By default every package that has a build script.
if [ ${#packages[@]} -eq 0 ]; then
  for f in "$here"/deps/*.sh; do packages+=("$(basename "$f" .sh)"); done
fi

# Versions of a source package the lists offer, highest first.
source_versions() {
  apt-cache showsrc --only-source "$1" 2>/dev/null | awk '/^Version:/{print $2}' | sort -V -r -u
}

# Fetches and unpacks a source package once; prints the unpacked directory.
fetch_source() {
  local pkg=$1 ver=$2 dir="$cache/src/$1-$2"
  if [ ! -f "$dir/.unpacked" ]; then
    rm -rf "$dir" && mkdir -p "$dir/dl"
    # A mirror may list a version whose .dsc it no longer serves.
    (cd "$dir/dl" && apt-get source -o APT::Sandbox::User=root --download-only -q "$pkg=$ver" >/dev/null 2>&1) ||
      { rm -rf "$dir"; return 1; }
    local dsc
    dsc=$(ls "$dir"/dl/*.dsc | head -n 1)
    dpkg-source --no-check -x "$dsc" "$dir/tree" >/dev/null || { rm -rf "$dir"; return 1; }
    rm -rf "$dir/dl"
    touch "$dir/.unpacked"
  fi
  echo "$dir/tree"
}

{
  echo "# Written by scripts/build-deps.sh; locations of the target libraries."
} > "$out.tmp"

# One build at a time per cache: other clones may build the same package.
exec 8>"$cache/.lock"
flock 8

for pkg in "${packages[@]}"; do
  versions=$(source_versions "$pkg")
  if [ -z "$versions" ]; then
    echo "build-deps: no source package '$pkg' (are deb-src lists enabled? run scripts/setup.sh)" >&2
    exit 1
  fi
  script="$here/deps/$pkg.sh"
  # The build script's own content is part of the key: changing it rebuilds
  # into a folder of its own.
  key=$(sha1sum "$script" | cut -c1-12)

  # Newest version already built with this script: nothing to fetch.
  ver=''
  for v in $versions; do
    if [ -f "$cache/$pkg-$v-$key/.built" ]; then ver=$v; break; fi
  done

  if [ -z "$ver" ]; then
    src=''
    for v in $versions; do
      if src=$(fetch_source "$pkg" "$v"); then ver=$v; break; fi
      echo "build-deps: cannot fetch $pkg $v, trying an older version" >&2
    done
    if [ -z "$ver" ]; then
      echo "build-deps: no version of '$pkg' could be fetched" >&2
      exit 1
    fi
    prefix="$cache/$pkg-$ver-$key"
    echo "build-deps: building $pkg $ver" >&2
    start=$(date +%s)
    rm -rf "$prefix" "$prefix.work"
    mkdir -p "$prefix.work"
    # shellcheck source=/dev/null
    ( set -e; source "$script"; build "$src" "$prefix" "$prefix.work" ) > "$prefix.log" 2>&1 || {
      echo "build-deps: $pkg failed; last lines of $prefix.log:" >&2
      tail -n 30 "$prefix.log" >&2
      exit 1
    }
    rm -rf "$prefix.work"
    touch "$prefix/.built"
    echo "build-deps: $pkg built in $(( $(date +%s) - start )) s" >&2
  fi
  var=$(echo "$pkg" | tr 'a-z0-9-' 'A-Z0-9_')
  echo "set(KX_DEP_${var}_DIR \"$cache/$pkg-$ver-$key\")" >> "$out.tmp"
done

mv "$out.tmp" "$out"
