#!/usr/bin/env bash
# Fails when the installer links a part of the C++ runtime it must do without:
# iostreams and locales (about 0.8 MB, pulled by one use of a string stream,
# <iostream> or a locale anywhere, the libraries' code included) or the
# symbol demangler of the runtime's default terminate handler. Reads the
# installer's link map and names what pulled each such part in.
#   usage: check_stub_members.sh MAP
set -euo pipefail
map=${1:?usage: check_stub_members.sh MAP}
[ -s "$map" ] || { echo "FAIL no link map $map"; exit 1; }
# libstdc++'s archive members for streams, locales and the demangler.
banned='libstdc\+\+\.a\((ios_init|ios|ios-inst|ios_locale|globals_io|locale|locale_init|[a-z0-9-]*locale-inst|[a-z0-9-]*shim_facets|[iow]*stream-inst|[io]?sstream-inst|fstream-inst|streambuf-inst|basic_file|cp-demangle|vterminate)\.o\)'
# "Archive member included to satisfy reference by file (symbol)": the member
# on one line, the file and symbol that wanted it on the next.
found=$(awk '/^Archive member included/{f=1; next} /^(Discarded input sections|Allocating common symbols|Memory Configuration)/{f=0}
             f && /^[^ ]/{member=$0; next} f{print member " <- " $1 " " $2 " " $3}' "$map" |
        grep -E "^[^ ]*$banned" || true)
if [ -n "$found" ]; then
  echo "$found" | sed 's|[^ ]*/||g; s|^|FAIL the installer links |'
  exit 1
fi
grep -q 'libstdc++\.a(' "$map" || { echo "FAIL $map names no runtime member: not a link map?"; exit 1; }
echo "1 passed, 0 failed"
