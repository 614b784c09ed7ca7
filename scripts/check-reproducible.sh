#!/usr/bin/env bash
# Builds the installer a second time, from a copy of the source in another
# folder and later than the first build, with the same release date, and
# compares the two byte for byte; on a difference it names the first differing
# header field, section or resource. A signed BUILD is rebuilt as a third
# party without the key would: the product's programs are taken, checked, from
# BUILD's signed installer. It also checks that no folder name of either build
# (source, build, dependency cache, home) is left in the installers or in the
# product's programs.
#   usage: check-reproducible.sh [BUILD]    (default: ./build, after scripts/build.sh)
# Only the installer's target is built; KX_JOBS sets the build's jobs (2).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-${KX_BUILD_DIR:-$root/build}}")
work=$build/rebuild
first=$build/app/kxVistralSetup.exe
second=$work/build/app/kxVistralSetup.exe
for f in "$first" "$build/source_date_epoch.txt" "$build/CMakeCache.txt"; do
  [ -f "$f" ] || { echo "check-reproducible: no $f; build first (scripts/build.sh)" >&2; exit 2; }
done
SOURCE_DATE_EPOCH=$(cat "$build/source_date_epoch.txt")
export SOURCE_DATE_EPOCH
start=$(date +%s)

# The source as the first build saw it: every file git tracks or would add.
rm -rf "$work"
mkdir -p "$work/src"
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
  tar --null -T - -cf -) | tar -C "$work/src" -xf -

# The first build's settings that shape the installer.
setting() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
args=(-DKX_BUILD_TESTS=OFF "-DKX_DEPS_FILE=$build/deps.cmake")
for s in CMAKE_BUILD_TYPE KX_COMPANY_URL KX_AGREEMENT_HOST KX_REPORT_HOST KX_PAYLOAD_DIR KX_WERROR; do
  args+=("-D$s=$(setting $s)")
done
if [ -n "$(setting KX_SIGN_PKCS12)" ]; then
  args+=("-DKX_SIGNED_PROGRAMS_FROM=$build/signed/kxVistralSetup.exe")
fi
cmake -S "$work/src" -B "$work/build" -G Ninja "${args[@]}" >"$work/configure.log" 2>&1 ||
  { tail -n 20 "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" --target kxVistralSetup -j "${KX_JOBS:-2}" >"$work/build.log" 2>&1 ||
  { tail -n 30 "$work/build.log" >&2; exit 1; }
echo "check-reproducible: second build in $work/build took $(( $(date +%s) - start )) s" \
     "(SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
sha256sum "$first" "$second"

status=0
python3 "$root/scripts/compare-installers.py" "$first" "$second" || status=1

# Folder names of both builds, narrow or UTF-16, in what the builds made.
deps=$(sed -n 's/^set(KX_DEP_[A-Z0-9_]*_DIR "\(.*\)\/[^/]*")$/\1/p' "$build/deps.cmake" | head -n 1)
programs=("$build"/payload/*.exe "$work/build"/payload/*.exe)
[ -d "$build/payload/stage" ] && programs+=("$build"/payload/stage/*.exe)
python3 - "$root" "$build" "$work" "$deps" "$HOME" -- "$first" "$second" "${programs[@]}" <<'EOF' || status=1
import sys
sep = sys.argv.index("--")
folders = [f.rstrip("/") for f in sys.argv[1:sep] if len(f.rstrip("/")) > 1]
leaks = 0
for path in sys.argv[sep + 1:]:
    data = open(path, "rb").read()
    for folder in folders:
        for enc in ("utf-8", "utf-16-le"):
            if folder.encode(enc) in data:
                print(f"check-reproducible: {path} holds the folder name {folder} ({enc})")
                leaks += 1
if not leaks:
    print(f"check-reproducible: no build folder's name in the installers or the product's programs")
sys.exit(1 if leaks else 0)
EOF
[ $status -eq 0 ] && rm -rf "$work"
exit $status
