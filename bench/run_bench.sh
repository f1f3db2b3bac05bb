#!/usr/bin/env bash
# The split benchmark: splits one large file with the real engine (100 MiB
# pieces with MoreMem, and the "1.44 MB" preset) and, in the same run on the
# same file and disk, times GNU split with the same piece sizes and a plain
# cat copy. Runs alternate; every figure is a median, printed as a ratio to cat.
# The engine is timed twice: the job alone (worker start to the end of its
# completion steps) and the whole process, Wine's start included.
# Usage: bench/run_bench.sh [MiB, default 1024] [runs, default 5]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/common.sh
build_arch x86_64 Release >/dev/null
ensure_prefix
mib=${1:-1024}
runs=${2:-5}
work="$build_root/bench-work"
rm -rf "$work" && mkdir -p "$work/out"
start_virtual_display
wineserver -p
trap 'wineserver -k 2>/dev/null || true; stop_virtual_display; rm -rf "$work"' EXIT
wine cmd.exe /c exit </dev/null >/dev/null 2>&1
bench="$build_root/x86_64-release/bench/split_bench.exe"
winwork="Z:${work//\//\\}"
large=104857600
preset=1457264

echo "Writing a $mib MiB source in $work ..."
head -c $((mib * 1048576)) /dev/urandom >"$work/source.bin"
sync

now() { date +%s.%N; }
clear_out() { rm -rf "$work/out" && mkdir -p "$work/out"; }
declare -A times
record() { times[$1]+="$2 "; }

engine() {  # name split-size moremem
  local t0 t1 line
  clear_out
  t0=$(now)
  line=$(/usr/lib/wine/wine64 "$bench" "$winwork\\source.bin" "$winwork\\out" "$2" "$3" | tr -d "\r")
  t1=$(now)
  read -r job peak idle buffer <<<"$line"
  record "$1-job" "$job"
  record "$1-process" "$(awk -v a="$t1" -v b="$t0" 'BEGIN { print a - b }')"
  record "$1-memory" "$(( (peak - idle) / 1024 ))"
  record "$1-buffer" "$(( buffer / 1024 ))"
}
timed() {  # name command...
  local name=$1 t0 t1
  shift
  clear_out
  t0=$(now)
  "$@"
  t1=$(now)
  record "$name" "$(awk -v a="$t1" -v b="$t0" 'BEGIN { print a - b }')"
}

for run in $(seq "$runs"); do
  echo "Run $run of $runs"
  timed cat sh -c "cat '$work/source.bin' > '$work/out/copy.bin'"
  timed split-large split -b $large "$work/source.bin" "$work/out/part."
  engine engine-large $large 1
  timed split-preset split -b $preset "$work/source.bin" "$work/out/part."
  engine engine-preset $preset 0
done

median() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
cat_median=$(median "${times[cat]}")
echo
printf "%s MiB source, medians of %s alternating runs (seconds, and ratio to cat)\n" "$mib" "$runs"
for name in cat split-large engine-large-job engine-large-process split-preset engine-preset-job engine-preset-process; do
  m=$(median "${times[$name]}")
  printf "  %-24s %8.3f s  %5.2f x cat\n" "$name" "$m" "$(awk -v a="$m" -v b="$cat_median" 'BEGIN { print a / b }')"
done
for name in engine-large engine-preset; do
  printf "  %-24s peak %s KiB above the idle program; copy buffer %s KiB\n" "$name-memory" \
    "$(median "${times[$name-memory]}")" "$(median "${times[$name-buffer]}")"
done
