#!/bin/sh
# Runs COMMAND with SOURCE_DATE_EPOCH read from DATEFILE. A link run this way
# is stamped with the release's date instead of the clock's.
#   usage: with-source-date.sh DATEFILE COMMAND...
set -e
SOURCE_DATE_EPOCH=$(cat "$1")
export SOURCE_DATE_EPOCH
shift
exec "$@"
