# Sourced by test.sh and run.sh (after $root is set). KX_EMULATE_I386=1 sends
# this run's 32-bit code through the emulator even where the kernel runs it
# natively, so that the emulated road can be proven on any host. While the run
# lasts it affects every 32-bit program of the machine; when the run ends,
# however it ends, the machine's binfmt state is put back (after a run killed
# outright, by the next call of scripts/i386-emulation.sh, setup's included).
kx_emulation_begin() {
  [ "${KX_EMULATE_I386:-}" = 1 ] || return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "$(basename "$0"): KX_EMULATE_I386=1 needs root (it registers an emulator for the whole machine)" >&2
    exit 1
  fi
  trap kx_emulation_end EXIT
  trap 'exit 130' INT TERM
  "$root/scripts/i386-emulation.sh" force-begin $$
}

kx_emulation_end() {
  [ "${KX_EMULATE_I386:-}" = 1 ] || return 0
  "$root/scripts/i386-emulation.sh" force-end $$ || true
}
