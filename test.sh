#!/usr/bin/env bash
# Installs what is missing, builds the 64-bit and the 32-bit program with their
# tests, and runs the whole test suite under Wine on a virtual display.
# Extra arguments go to CTest (for example: ./test.sh -R naming).
# PARTOLA_ARCHES="x86_64" limits the run to one architecture.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
source scripts/common.sh

arches=${PARTOLA_ARCHES:-"x86_64 i686"}
for arch in $arches; do
  echo "== Building $arch"
  build_arch "$arch"
done
ensure_prefix

cleanup() {
  wineserver -k 2>/dev/null || true
  stop_virtual_display
  # Small disks that a test left mounted (a crashed test cannot unmount them).
  if [ -d "$build_root/disks" ]; then
    for m in $(awk -v r="$build_root/disks/" 'index($2, r) == 1 {print $2}' /proc/mounts | sort -r); do
      umount -l "$m" 2>/dev/null || true
    done
  fi
}
trap cleanup EXIT
start_virtual_display
# Wine learns its drives when its services start: a drive A: that first
# appears later is not reported removable. The tests map their small disks
# to A:, so A: exists from the start, as an empty drive.
a_drive="$WINEPREFIX/dosdevices/a:"
[ -L "$a_drive" ] || ln -s /nonexistent-partola-disk "$a_drive"
wineserver -p
# Start Wine's background services now, detached from CTest's output pipes:
# a service started by the first test would hold CTest's pipe open forever.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1
if [ "$(id -u)" -ne 0 ]; then
  echo "Not root: the tests that mount small disks will be skipped (they run in CI, which is root)."
fi

# One CTest run over both architectures, so that the suites' locks on the
# floppy drive and the registry hold across them.
{
  echo "# Both architectures' tests in one run (written by test.sh)."
  for arch in $arches; do echo "subdirs(\"$arch\")"; done
} > "$build_root/CTestTestfile.cmake"
ctest --test-dir "$build_root" --output-on-failure -j"$(nproc)" "$@"
