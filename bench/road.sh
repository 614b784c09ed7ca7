# Sourced by the benchmarks (after $root is set): whether 32-bit x86 code, that
# is every program the benchmarks run under Wine, runs natively or through an
# emulator (a host whose kernel runs no 32-bit programs, or KX_EMULATE_I386=1).
# Emulated times are not performance figures: each such figure carries $emu,
# and `vs` makes no ratio against a native program of them. The targets are
# judged only where 32-bit code runs natively.
road=$("$root/scripts/i386-emulation.sh" probe)
emu=
if [ "$road" = emulated ]; then
  emu=" [32-bit code emulated]"
  echo "32-bit code: EMULATED (binfmt_misc sends it to qemu-user): figures of Wine programs are marked$emu and not compared with native programs or targets"
else
  echo "32-bit code: $road"
fi
# vs RATIO-EXPRESSION TEXT: "R x TEXT" where 32-bit code ran natively.
vs() {
  if [ -n "$emu" ]; then echo "no ratio (emulated)"; else echo "$(awk "BEGIN { printf \"%.3f\", $1 }") x${2:+ $2}"; fi
}
