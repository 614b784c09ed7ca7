#!/usr/bin/env bash
# Whether this machine runs 32-bit x86 programs (Wine's 32-bit side, which runs
# every test program and the installer), and, where the kernel refuses them,
# the emulator that makes them run: qemu-user from Debian's bookworm-backports,
# registered for i386 ELF programs through binfmt_misc.
#
#   i386-emulation.sh probe        prints native, emulated or none
#   i386-emulation.sh ensure       (root) native: nothing; otherwise installs
#                                  the emulator and registers it (again after
#                                  a reboot, which drops the registration)
#   i386-emulation.sh force-begin PID   (root) registers the emulator even on a
#                                  host that runs 32-bit code natively, for the
#                                  run PID (KX_EMULATE_I386=1 in test.sh/run.sh)
#   i386-emulation.sh force-end PID     the run PID is over: when no forcing run
#                                  is left, the machine's binfmt state is put
#                                  back as it was before the first one
#
# A forced registration affects every 32-bit program of the machine, so each
# forcing run is recorded in $KX_I386_STATE (on /run: gone at a reboot, with the
# registration); a run that was killed is noticed by the next call of any kind,
# which restores the state once no recorded run is alive.
set -euo pipefail

entry=kx-qemu-i386
misc=/proc/sys/fs/binfmt_misc
qemu=/usr/bin/qemu-i386
state=${KX_I386_STATE:-/run/kx-i386-emulation}

# A 96-byte i386 ELF program that exits with status 42. The probe for native
# support sets the ELF header's ABI version byte to 1: the kernel's ELF loader
# ignores it, the emulator's registration (which wants 0 there) does not match
# it, so it runs only where the kernel itself runs 32-bit code.
probe_program() {  # FILE ABIVERSION (0 or 1)
  printf '\x7fELF\x01\x01\x01\x00\x0'"$2"'\x00\x00\x00\x00\x00\x00\x00' >"$1"
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$1"
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' >>"$1"
  printf '\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08' >>"$1"
  printf '\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00' >>"$1"
  printf '\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >>"$1"
  chmod +x "$1"
}

# A folder programs can be started from: a temporary folder mounted noexec
# would make every probe fail and pass for a host without 32-bit support.
# The project's own folder is the fallback (its scripts are run from it).
probe_dir() {
  local base dir rc
  for base in "${TMPDIR:-/tmp}" "$(cd "$(dirname "$0")/.." && pwd)"; do
    dir=$(mktemp -d "$base/kx-i386-probe.XXXXXX" 2>/dev/null) || continue
    printf '#!/bin/sh\nexit 42\n' >"$dir/script" && chmod +x "$dir/script"
    rc=0
    (exec "$dir/script") >/dev/null 2>&1 || rc=$?
    [ "$rc" -eq 42 ] && { echo "$dir"; return 0; }
    rm -rf "$dir"
  done
  echo "i386-emulation: no folder here lets programs start (noexec)" >&2
  return 1
}

runs() {  # ABIVERSION: 0 for any 32-bit program, 1 for native support only
  local dir rc=0
  dir=$(probe_dir) || exit 1
  probe_program "$dir/probe" "$1"
  (exec "$dir/probe") >/dev/null 2>&1 || rc=$?
  rm -rf "$dir"
  [ "$rc" -eq 42 ]
}

# An enabled binfmt_misc entry for i386 programs (ours or another's): binfmt_misc
# is asked before the kernel's own ELF loader, so every 32-bit program runs
# through that entry's emulator.
handler_enabled() {
  local f
  for f in "$misc"/*; do
    [ -f "$f" ] && grep -qx enabled "$f" 2>/dev/null &&
      grep -q '^magic 7f454c4601010100000000000000000002000300' "$f" 2>/dev/null && return 0
  done
  return 1
}

probe() {
  if handler_enabled; then
    if runs 0; then echo emulated; else echo none; fi
  elif runs 1; then echo native
  else echo none
  fi
}

# i386 ELF executables and shared objects; the OS/ABI byte is not looked at.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

mount_misc() {
  [ -e "$misc/register" ] || mount -t binfmt_misc binfmt_misc "$misc"
}

registered() {  # our entry is there, enabled, with the emulator installed now
  [ -f "$misc/$entry" ] && grep -qx enabled "$misc/$entry" &&
    grep -qx "interpreter $qemu" "$misc/$entry"
}

register() {
  mount_misc
  [ -f "$misc/$entry" ] && echo -1 >"$misc/$entry"
  # F: the emulator is opened now, so that it serves every mount namespace and
  # chroot (Wine's processes and the tests' own); P: argv[0] is kept.
  printf ':%s:M::%s:%s:%s:FP' "$entry" "$magic" "$mask" "$qemu" >"$misc/register"
}

unregister() {
  [ -f "$misc/$entry" ] && echo -1 >"$misc/$entry"
  return 0
}

# qemu-user 10 from bookworm-backports. Debian 12's own qemu (7.2) ignores
# MAP_FIXED_NOREPLACE, and Wine then takes a minute to start each process.
backports_sources=/etc/apt/sources.list.d/kx-bookworm-backports.sources
backports_pin=/etc/apt/preferences.d/kx-bookworm-backports
qemu_major() { { "$qemu" --version 2>/dev/null || true; } | sed -n '1s/.*version \([0-9]*\)\..*/\1/p'; }

install_emulator() {
  local major
  major=$(qemu_major)
  if [ -n "$major" ] && [ "$major" -ge 8 ]; then return 0; fi
  # The suite's address is the one the machine's Debian lists use.
  local uri
  uri=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
  [ -n "$uri" ] || uri=$(sed -n 's/^deb \(\[[^]]*\] \)\?\([^ ]*\) bookworm .*/\2/p' /etc/apt/sources.list 2>/dev/null | head -n 1)
  [ -n "$uri" ] || uri=http://deb.debian.org/debian
  cat >"$backports_sources" <<EOF
Types: deb
URIs: $uri
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  # Nothing but the emulator is taken from backports.
  cat >"$backports_pin" <<EOF
Package: qemu-user
Pin: release n=bookworm-backports
Pin-Priority: 990

Package: *
Pin: release n=bookworm-backports
Pin-Priority: -1
EOF
  . "$(dirname "$0")/apt-robust.sh"
  export DEBIAN_FRONTEND=noninteractive
  kx_apt_update
  kx_apt_install qemu-user
  major=$(qemu_major)
  if [ -z "$major" ] || [ "$major" -lt 8 ]; then
    echo "i386-emulation: $qemu is not qemu 8 or later (version '${major:-none}')" >&2
    return 1
  fi
}

# The forcing runs recorded and alive; a dead one's record is dropped.
live_holders() {
  local f
  for f in "$state"/holder.*; do
    [ -e "$f" ] || continue
    if kill -0 "${f##*.}" 2>/dev/null; then echo "${f##*.}"; else rm -f "$f"; fi
  done
}

# With no forcing run alive, the state before the first one comes back.
restore_if_unheld() {
  [ -f "$state/before" ] || return 0
  [ -z "$(live_holders)" ] || return 0
  case $(cat "$state/before") in
    absent) unregister ;;
    disabled) [ -f "$misc/$entry" ] && echo 0 >"$misc/$entry" ;;
  esac
  rm -f "$state/before"
  echo "i386-emulation: the forced emulation is over; binfmt_misc is as it was before"
}

locked() {  # runs "$@" holding the state's lock
  mkdir -p "$state"
  exec 9>"$state/lock"
  flock 9
  "$@"
}

ensure() {
  restore_if_unheld
  runs 1 && return 0
  if registered && runs 0; then
    echo "setup: 32-bit x86 code runs emulated (qemu-user $(qemu_major)): this kernel runs no 32-bit programs"
    return 0
  fi
  install_emulator
  registered || register
  if ! runs 0; then
    echo "i386-emulation: 32-bit programs still do not run after registering $qemu" >&2
    return 1
  fi
  echo "setup: 32-bit x86 code runs emulated (qemu-user $(qemu_major), registered with binfmt_misc): this kernel runs no 32-bit programs"
}

force_begin() {
  local pid=$1
  restore_if_unheld
  if [ -z "$(live_holders)" ] && ! [ -f "$state/before" ]; then
    if registered; then echo present; elif [ -f "$misc/$entry" ]; then echo disabled; else echo absent; fi >"$state/before"
  fi
  : >"$state/holder.$pid"
  install_emulator
  registered || register
  runs 0 || { echo "i386-emulation: 32-bit programs do not run under $qemu" >&2; return 1; }
  echo "i386-emulation: 32-bit x86 code runs emulated for this run (KX_EMULATE_I386=1; qemu-user $(qemu_major)), for every 32-bit program of the machine until it ends"
}

force_end() {
  rm -f "$state/holder.$1"
  restore_if_unheld
}

case ${1:-} in
  probe) probe ;;
  ensure) locked ensure ;;
  force-begin) locked force_begin "${2:?usage: i386-emulation.sh force-begin PID}" ;;
  force-end) locked force_end "${2:?usage: i386-emulation.sh force-end PID}" ;;
  *) echo "usage: i386-emulation.sh probe|ensure|force-begin PID|force-end PID" >&2; exit 2 ;;
esac
