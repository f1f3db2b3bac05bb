#!/usr/bin/env bash
# The split benchmark. On one large file, in one run, side by side:
#   cat                a plain copy (the disk's and page cache's pace)
#   split-*            GNU split with the same piece sizes
#   bare-*             a bare Win32 loop under the same Wine (CreateFile,
#                      256 KiB ReadFile/WriteFile, CloseHandle, no window)
#   engine-*-job       the real engine in-process with its progress window,
#                      worker start to the end of its completion steps
#   engine-*-process   the same, the whole process (Wine's start included)
#   window-*           the real program driven through its window: Split
#                      click to the main window's return
# for 100 MiB pieces with MoreMem ("large") and the "1.44 MB" preset. The
# copy slice is then swept on the preset (bare loop and engine). Runs
# alternate; every figure is a median with the range of the runs. The build
# timed is the release build that users get.
# Usage: bench/run_bench.sh [MiB, default 1024] [runs, default 5]
# SLICES="65536 131072 262144 524288" (bytes) sets the sweep; empty skips it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/common.sh
build_arch x86_64 Release >/dev/null
ensure_prefix
mib=${1:-1024}
runs=${2:-5}
slices=${SLICES-"65536 131072 262144 524288"}
work="$build_root/bench-work"
rm -rf "$work" && mkdir -p "$work/out"
start_virtual_display
wineserver -p
trap 'wineserver -k 2>/dev/null || true; stop_virtual_display; rm -rf "$work"' EXIT
$wine64 cmd.exe /c exit </dev/null >/dev/null 2>&1
bin="$build_root/x86_64-release"
winpath() { local p="Z:${1//\//\\}"; echo "$p"; }
winwork=$(winpath "$work")
large=104857600
preset=1457264
slice=262144

echo "Writing a $mib MiB source in $work ..."
head -c $((mib * 1048576)) /dev/urandom >"$work/source.bin"
sync

now() { date +%s.%N; }
since() { awk -v a="$(now)" -v b="$1" 'BEGIN { print a - b }'; }
clear_out() { rm -rf "$work/out" && mkdir -p "$work/out"; }
declare -A times
record() { times[$1]+="$2 "; }
wine64() { /usr/lib/wine/wine64 "$@" </dev/null | tr -d "\r"; }

engine() {  # name split-size moremem slice
  local t0 line job peak idle buffer
  clear_out
  t0=$(now)
  line=$(wine64 "$bin/bench/split_bench.exe" "$winwork\\source.bin" "$winwork\\out" "$2" "$3" "$4")
  record "$1-process" "$(since "$t0")"
  read -r job peak idle buffer <<<"$line"
  record "$1-job" "$job"
  record "$1-memory" "$(((peak - idle) / 1024))"
  record "$1-buffer" "$((buffer / 1024))"
}
bare() {  # name split-size slice
  clear_out
  record "$1" "$(wine64 "$bin/bench/bare_loop.exe" "$winwork\\source.bin" "$winwork\\out" "$2" "$3")"
}
window() {  # name size-KB-or-0 moremem
  local line seconds peak idle
  clear_out
  line=$(wine64 "$bin/bench/window_bench.exe" "$(winpath "$bin/Partola95.exe")" \
    "$winwork\\source.bin" "$winwork\\out" "$2" "$3")
  read -r seconds peak idle <<<"$line"
  record "$1" "$seconds"
  record "$1-memory" "$(((peak - idle) / 1024))"
}
timed() {  # name command...
  local name=$1 t0
  shift
  clear_out
  t0=$(now)
  "$@"
  record "$name" "$(since "$t0")"
}

for run in $(seq "$runs"); do
  echo "Run $run of $runs"
  timed cat sh -c "cat '$work/source.bin' > '$work/out/copy.bin'"
  timed split-large split -b $large "$work/source.bin" "$work/out/part."
  bare bare-large $large $slice
  engine engine-large $large 1 $slice
  window window-large $((large / 1024)) 1
  timed split-preset split -b $preset "$work/source.bin" "$work/out/part."
  bare bare-preset $preset $slice
  engine engine-preset $preset 0 $slice
  window window-preset 0 0
  for s in $slices; do
    bare "bare-preset-slice-$((s / 1024))K" $preset "$s"
    engine "engine-preset-slice-$((s / 1024))K" $preset 0 "$s"
  done
done

median() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
range() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -g | awk 'NR==1{lo=$1} {hi=$1} END {printf "%.2f-%.2f", lo, hi}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
line() {  # name [reference name]
  local m
  m=$(median "${times[$1]}")
  printf "  %-30s %7.3f s  (%s)" "$1" "$m" "$(range "${times[$1]}")"
  [ $# -gt 1 ] && printf "  %s x %s" "$(ratio "$m" "$(median "${times[$2]}")")" "$2"
  echo
}
echo
echo "$mib MiB source, medians (and ranges) of $runs alternating runs, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
line cat
line split-large
line bare-large split-large
line engine-large-job split-large
line engine-large-process split-large
line window-large split-large
line split-preset
line bare-preset split-preset
line engine-preset-job bare-preset
line engine-preset-process bare-preset
line window-preset bare-preset
for s in $slices; do
  line "bare-preset-slice-$((s / 1024))K"
  line "engine-preset-slice-$((s / 1024))K-job" "bare-preset-slice-$((s / 1024))K"
done
for name in engine-large engine-preset window-large window-preset; do
  printf "  %-30s peak %s KiB above the idle program" "$name-memory" "$(median "${times[$name-memory]}")"
  [ -n "${times[$name-buffer]:-}" ] && printf "; copy buffer %s KiB" "$(median "${times[$name-buffer]}")"
  echo
done
