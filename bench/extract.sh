#!/usr/bin/env bash
# Extraction benchmark: ExtractTo under Wine against native 7-Zip on the same
# archive (about 160 MB in 20 directories, packed like the product payload),
# then a whole install job (RunInstallJob, the archive as its payload) against
# the same native extraction. Beside them, from the same run: native decoding
# alone (7zz t), the write floor under Wine (kx_write_floor: the same files,
# same sizes, zeros, no decoding), the decoding floor under Wine
# (kx_decode_floor: our 7-Zip code, nothing written), and ExtractTo with 1, 2
# and 4 writer threads. The machine's load (uptime) is printed with the figures.
#   usage: bench/extract.sh            (after scripts/build.sh)
# KX_BENCH_EXTRA_MB=N adds N MB of random data to the tree (a payload of a
# gigabyte, as a real product's may be); KX_BENCH_RUNS=N runs each side N
# times instead of three.
# Scratch files go to $KX_BENCH_DIR, removed at the end: by default a folder in
# memory (/dev/shm), so that the disk's write-back, which both sides share,
# neither blurs nor dilutes the comparison; /tmp where there is none.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KX_BUILD_DIR:-$root/build}
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch=/dev/shm; else scratch=/tmp; fi
work=${KX_BENCH_DIR:-$scratch/kx-bench}
bench_exe=$build/bench/kx_extract_bench.exe
job_exe=$build/bench/kx_job_bench.exe
floor_exe=$build/bench/kx_write_floor.exe
decode_exe=$build/bench/kx_decode_floor.exe
[ -x "$bench_exe" ] && [ -x "$job_exe" ] && [ -x "$floor_exe" ] && [ -x "$decode_exe" ] || { echo "extract.sh: build first (scripts/build.sh)" >&2; exit 1; }
"$root/scripts/wine-prefix.sh" "$build/wineprefix"
trap 'rm -rf "$work"' EXIT
source "$root/bench/road.sh"

mkdir -p "$work"
# Executables of the build stand in for the product's programs.
mapfile -t exes < <(find "$build/payload" -maxdepth 1 -name '*.exe')
python3 "$root/bench/make_bench_payload.py" "$work/src" "${exes[@]}"
"$root/payload/pack.sh" "$work/bench.7z" "$work/src"
rm -rf "$work/src"
echo "archive: $(du -m "$work/bench.7z" | cut -f1) MB, $(7zz l "$work/bench.7z" | tail -1 | sed 's/  */ /g')"

now() { date +%s.%N; }
calc() { awk "BEGIN { printf \"%.3f\", $1 }"; }

# Both write into the same host file system; Wine reaches it through Z:.
# The machine is shared: each side runs three times and its best time counts.
win_dest="Z:$(echo "$work/ours" | tr / '\\')\\"
win_archive="Z:$(echo "$work/bench.7z" | tr / '\\')"
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }
ours_s= ours_whole= ours_mb= native_s= native_whole= native_mb= test_s= floor_s= decode_s=
echo "load before: $(uptime)"
runs=${KX_BENCH_RUNS:-3}
for run in $(seq "$runs"); do
  rm -rf "$work/ours" && mkdir -p "$work/ours"
  t0=$(now)
  ours=$("$build/wine-run.sh" "$bench_exe" "$win_archive" "$win_dest")
  t1=$(now)
  echo "ours $run:   $ours (whole Wine process $(calc "$t1 - $t0") s)$emu"
  ours_s=$(best "$(echo "$ours" | sed -n 's/.*extract_s=\([0-9.]*\).*/\1/p')" "$ours_s")
  ours_whole=$(best "$(calc "$t1 - $t0")" "$ours_whole")
  ours_mb=$(best "$(echo "$ours" | sed -n 's/.*peak_working_set_mb=\([0-9.]*\).*/\1/p')" "$ours_mb")

  rm -rf "$work/native" && mkdir -p "$work/native"
  # 7zz reports its own time from start to end ("Global Time" of -bt): the
  # in-process figure; the whole process and its peak resident set come
  # from outside.
  native=$(python3 - "$work" <<'PY'
import re, resource, subprocess, sys, time
work = sys.argv[1]
t0 = time.monotonic()
out = subprocess.run(["7zz", "x", "-y", "-bd", "-bt", "-bsp0", "-o" + work + "/native", work + "/bench.7z"],
                     check=True, capture_output=True, text=True).stdout
t1 = time.monotonic()
rss = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
print("%s %.3f %.1f" % (re.search(r"Global\s+Time\s*=\s*([0-9.]+)", out).group(1), t1 - t0, rss))
PY
)
  read -r s whole mb <<<"$native"
  echo "native $run: 7zz x ${s} s in-process, whole process ${whole} s, peak RSS ${mb} MB"
  native_s=$(best "$s" "$native_s")
  native_whole=$(best "$whole" "$native_whole")
  native_mb=$(best "$mb" "$native_mb")

  # Decoding alone: 7zz t reads and checks every item, writing nothing.
  t=$(7zz t -bd -bt -bsp0 "$work/bench.7z" | sed -n 's/.*Global[[:space:]]*Time[[:space:]]*=[[:space:]]*\([0-9.]*\).*/\1/p')
  echo "native $run: 7zz t ${t} s in-process"
  test_s=$(best "$t" "$test_s")

  # The write floor: the files 7zz x made, written again under Wine.
  if [ "$run" = 1 ]; then
    (cd "$work/native" && find . -mindepth 1 -type d -printf 'D\t%P\n' && find . -type f -printf 'F\t%s\t%P\n') |
      tr / '\\' >"$work/listing.txt"
  fi
  rm -rf "$work/floor" && mkdir -p "$work/floor"
  floor=$("$build/wine-run.sh" "$floor_exe" "Z:$(echo "$work/listing.txt" | tr / '\\')" \
          "Z:$(echo "$work/floor" | tr / '\\')\\")
  echo "floor $run:  $floor$emu"
  floor_s=$(best "$(echo "$floor" | sed -n 's/.*write_s=\([0-9.]*\).*/\1/p')" "$floor_s")

  # The decoding floor: our own 7-Zip code under Wine, nothing written.
  decode=$("$build/wine-run.sh" "$decode_exe" "$win_archive")
  echo "decode $run: $decode$emu"
  decode_s=$(best "$(echo "$decode" | sed -n 's/.*decode_s=\([0-9.]*\).*/\1/p')" "$decode_s")
done
echo "load after three runs: $(uptime)"

# ExtractTo with a given number of writer threads, best of three each.
declare -A writers_s
for w in 1 2 4; do
  for run in 1 2 3; do
    rm -rf "$work/ours" && mkdir -p "$work/ours"
    ours=$("$build/wine-run.sh" "$bench_exe" "$win_archive" "$win_dest" "$w")
    echo "ours, $w writer(s), run $run: $ours$emu"
    writers_s[$w]=$(best "$(echo "$ours" | sed -n 's/.*extract_s=\([0-9.]*\).*/\1/p')" "${writers_s[$w]:-}")
  done
done

diff -r "$work/ours" "$work/native" >/dev/null && echo "same files: yes" || echo "same files: NO"

# The whole job: payload written from the program's resource, unpacked,
# manifest, shortcuts, registry, channel file, report to a closed loopback port.
win_job="Z:$(echo "$work/job.exe" | tr / '\\')"
t0=$(now)
"$build/wine-run.sh" "$job_exe" --embed "$win_archive" "$win_job" >/dev/null
echo "embed:    the archive as the payload of $(du -m "$work/job.exe" | cut -f1) MB job.exe in $(calc "$(now) - $t0") s$emu"
job_s=
for run in $(seq "$runs"); do
  rm -rf "$work/job" && mkdir -p "$work/job"
  job=$("$build/wine-run.sh" "$win_job" "Z:$(echo "$work/job" | tr / '\\')\\" | grep "result=")
  echo "job $run:    $job$emu"
  job_s=$(best "$(echo "$job" | sed -n 's/.*job_s=\([0-9.]*\).*/\1/p')" "$job_s")
done

# Each target against its reference, best of the three runs each.
echo "load at the end: $(uptime)"
echo "ExtractTo in-process:  $ours_s s$emu against 7zz x $native_s s: $(vs "$ours_s / $native_s" "(target <= 1.3)")"
echo "RunInstallJob:         $job_s s$emu against 7zz x $native_s s: $(vs "$job_s / $native_s" "(target <= 1.5)")"
echo "7zz t (decoding):      $test_s s; write floor under Wine $floor_s s$emu; ExtractTo against the larger: $(vs "$ours_s / ($test_s > $floor_s ? $test_s : $floor_s)")"
echo "decoding under Wine:   $decode_s s$emu (our 7-Zip code, nothing written); ExtractTo against it: $(calc "$ours_s / $decode_s") x"
echo "ExtractTo by writers:  1: ${writers_s[1]} s, 2: ${writers_s[2]} s, 4: ${writers_s[4]} s$emu"
echo "whole process:         $ours_whole s$emu against 7zz x $native_whole s: $(vs "$ours_whole / $native_whole")"
echo "peak working set:      $ours_mb MB against 7zz x $native_mb MB: $(calc "$ours_mb / $native_mb") x (target <= 7zz x + 64 MB of queue: $(calc "$native_mb + 64") MB)"
