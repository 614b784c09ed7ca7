# Sourced by the scripts that run tests. kx_wait_deadline PID SECONDS waits
# for the child PID and returns its exit status, or 124 when it still runs
# after SECONDS (it is left running: the caller reports what hangs, then
# ends it). An empty SECONDS waits without a limit.
kx_wait_deadline() {
  local pid=$1 limit=${2:-} start=$SECONDS
  if [ -n "$limit" ]; then
    while kill -0 "$pid" 2>/dev/null; do
      [ $((SECONDS - start)) -ge "$limit" ] && return 124
      sleep 0.5
    done
  fi
  wait "$pid"
}
