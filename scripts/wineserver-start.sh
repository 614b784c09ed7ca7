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
# With -d it may stay in the foreground: it runs in a session of its own,
# and is ready once its socket is there, in the folder it works in.
setsid wineserver -p -d1 </dev/null >/dev/null 2>"$log" &
pid=$!
for _ in $(seq 100); do
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"  # it went into the background once ready, or failed
    exit $?
  fi
  dir=$(readlink "/proc/$pid/cwd" 2>/dev/null)
  [ -n "$dir" ] && [ -S "$dir/socket" ] && exit 0
  sleep 0.1
done
echo "wineserver-start: no wineserver for $WINEPREFIX after 10 s" >&2
exit 1
