#!/usr/bin/env bash
# Builds the benchmark (optimised), then times the real engine splitting a
# large file on the build disk, next to a Windows file copy and a host cp.
# Usage: bench/run_bench.sh [megabytes] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
build_arch x86_64 Release >/dev/null
ensure_prefix
megabytes=${1:-200}
runs=${2:-3}
work="$build_root/bench-work"
mkdir -p "$work"
start_virtual_display
trap 'wineserver -k 2>/dev/null || true; stop_virtual_display; rm -rf "$work"' EXIT
/usr/lib/wine/wine64 "$build_root/x86_64-release/bench/split_bench.exe" "Z:${work//\//\\}" \
  "$megabytes" "$runs"
head -c $((megabytes * 1048576)) /dev/urandom >"$work/cp-source.bin"
for _ in $(seq "$runs"); do
  start=$(date +%s.%N)
  cp "$work/cp-source.bin" "$work/cp-copy.bin"
  end=$(date +%s.%N)
  rm -f "$work/cp-copy.bin"
  awk -v s="$start" -v e="$end" -v m="$megabytes" 'BEGIN { printf "  host cp %25s %7.1f MB/s\n", "", m / (e - s) }'
done
