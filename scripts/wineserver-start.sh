#!/usr/bin/env bash
# Starts a persistent wineserver for $WINEPREFIX, apart from its caller: its
# output never goes to the caller's pipes (a reader of them would wait for
# it). With KX_TEST_SERVER_LOG set, it keeps a debug log of its requests in
# LOG, for a hang report; otherwise its output is dropped.
#   usage: wineserver-start.sh LOG
set -uo pipefail
log=${1:?usage: wineserver-start.sh LOG}
if [ -z "${KX_TEST_SERVER_LOG:-}" ]; then
  wineserver -p </dev/null >/dev/null 2>&1  # returns once it is ready
  exit 0                                    # (one may run already)
fi
# With -d the server stays in the foreground: it is put in a session of its
# own, and its socket waited for (Wine names the folder of the socket by the
# prefix's device and inode numbers).
setsid wineserver -p -d1 </dev/null >/dev/null 2>"$log" &
socket=/tmp/.wine-$(id -u)/server-$(printf '%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))/socket
for _ in $(seq 100); do
  [ -S "$socket" ] && exit 0
  sleep 0.1
done
echo "wineserver-start: no wineserver for $WINEPREFIX after 10 s" >&2
exit 1
