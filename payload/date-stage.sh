#!/usr/bin/env bash
# Gives the stand-in product's files, made at build time, the release's date
# and fixed permissions (the payload archive stores both; whether a file came
# from the linker, a signing step or another archive must not show), so that every build
# of a commit packs the same archive whatever the clock and umask.
#   usage: date-stage.sh DATEFILE DIR
set -euo pipefail
datefile=${1:?usage: date-stage.sh DATEFILE DIR}
dir=${2:?usage: date-stage.sh DATEFILE DIR}
epoch=$(cat "$datefile")
find "$dir" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
find "$dir" -exec touch -h -d "@$epoch" {} +
