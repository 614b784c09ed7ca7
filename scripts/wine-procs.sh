#!/usr/bin/env bash
# The Wine processes of one build: those whose WINEPREFIX lies under DIR.
#   usage: wine-procs.sh list DIR     their process ids, one a line
#          wine-procs.sh report DIR   what each is and what it waits in, then
#                                     the last lines of each wineserver debug
#                                     log kept in DIR/test-logs
#          wine-procs.sh end DIR      ends them: each prefix's wineserver -k
#                                     (it ends that prefix's processes), then
#                                     any left over by its id
# A process is matched by its program (Wine's loader or server, or the
# emulator that runs Wine's 32-bit side where the kernel does not) and its
# environment, which names its prefix, so that no other build's or
# developer's Wine process is touched, nor the scripts that started them.
set -uo pipefail
what=${1:?usage: wine-procs.sh list|report|end DIR}
dir=$(realpath -m "${2:?usage: wine-procs.sh list|report|end DIR}")

# PID<TAB>PREFIX for every process of this build: one grep reads every
# process's environment (a process each would take seconds on a busy machine).
matches() {
  local f p env
  for f in $(grep -lsazF -e "WINEPREFIX=$dir/" /proc/[0-9]*/environ); do
    p=${f#/proc/}
    p=${p%/environ}
    # A 32-bit Wine process on a host that runs 32-bit code through an
    # emulator (binfmt_misc) has the emulator as its program.
    case $(readlink "/proc/$p/exe" 2>/dev/null) in
      */wine*|*-preloader|*/qemu-i386*) ;;
      *) continue ;;
    esac
    env=$(grep -azF -m1 -e "WINEPREFIX=" "$f" 2>/dev/null | tr -d '\0')
    printf '%s\t%s\n' "$p" "${env#WINEPREFIX=}"
  done
}

report() {
  local rows pid prefix
  rows=$(matches)
  if [ -z "$rows" ]; then
    echo "  (no Wine process of $dir runs)"
    return
  fi
  # wchan: the kernel function a process sleeps in; a client waiting on its
  # wineserver's reply sleeps in a pipe read, a wineserver that cannot write
  # its output in a pipe write.
  echo "  pid    ppid   state elapsed  waits in               command"
  while IFS=$'\t' read -r pid prefix; do
    ps -o pid=,ppid=,stat=,etime=,wchan:22=,args= -p "$pid" 2>/dev/null | cut -c1-220 | sed 's/^/  /'
    if [[ $(cat "/proc/$pid/comm" 2>/dev/null) == wineserver* ]]; then
      echo "         wineserver of $prefix; output to $(readlink "/proc/$pid/fd/1" 2>/dev/null || echo closed), $(readlink "/proc/$pid/fd/2" 2>/dev/null || echo closed)"
      sed -n '1,6s/^/         kernel: /p' "/proc/$pid/stack" 2>/dev/null
    fi
  done <<<"$rows"
  local log
  for log in "$dir"/test-logs/wineserver-*.log; do
    [ -s "$log" ] || continue
    echo "  last lines of $log:"
    tail -n 25 "$log" | cut -c1-220 | sed 's/^/    /'
  done
}

end() {
  local rows prefix pid
  rows=$(matches)
  [ -n "$rows" ] || return 0
  # A prefix whose folder is gone cannot be named to wineserver -k: its
  # processes are ended by id below.
  while read -r prefix; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix timeout 20 wineserver -k >/dev/null 2>&1
  done < <(cut -f2 <<<"$rows" | sort -u)
  for pid in $(matches | cut -f1); do
    kill -KILL "$pid" 2>/dev/null
  done
  return 0
}

case $what in
  list) matches | cut -f1 ;;
  report) report ;;
  end) end ;;
  *) echo "usage: wine-procs.sh list|report|end DIR" >&2; exit 2 ;;
esac
