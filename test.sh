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
# Wine's 32-bit loader is a 32-bit Linux program: where the kernel does not
# start those, they run under qemu-i386, set up here when it can be. Where
# even that cannot be done, the 32-bit program is built and its tests under
# Wine are left out, loudly, rather than failing for a reason that is not the
# program's.
if [[ " $arches " == *" i686 "* ]]; then
  source scripts/run_32bit.sh
  ensure_32bit_programs
  if [ "$run32" = none ]; then
    arches=$(echo " $arches " | sed 's/ i686 / /; s/^ *//; s/ *$//')
    [[ " $arches " == *" x86_64 "* ]] && audit_32bit_only=1
    echo "   The 32-bit program was built and its imports and instructions are"
    echo "   audited; its tests under Wine are NOT run here."
  fi
fi
# One test run at a time in a checkout: the runs would share the Wine
# prefixes, the displays and the small disks' folder. The lock is a folder
# that names its run; a run that died without removing it holds it no more.
# (A lock on an open file would pass to the Wine server and live on.)
lock="$build_root/test-run.lock"
[ -d "$lock" ] || rm -f "$lock"
until mkdir "$lock" 2>/dev/null; do
  holder=$(cat "$lock/pid" 2>/dev/null || true)
  if [ -n "$holder" ] && ! kill -0 "$holder" 2>/dev/null; then
    rm -rf "$lock"
    continue
  fi
  [ -n "${waiting:-}" ] || { echo "Waiting for the other test run in this checkout ..."; waiting=1; }
  sleep 1
done
echo $$ >"$lock/pid"

# The small disks a test left mounted (a crashed test cannot unmount them).
unmount_leftovers() {
  if [ -d "$build_root/disks" ]; then
    for m in $(awk -v r="$build_root/disks/" 'index($2, r) == 1 {print $2}' /proc/mounts | sort -r); do
      umount -l "$m" 2>/dev/null || true
    done
    rm -rf "$build_root/disks"
  fi
}
cleanup() {
  for arch in $arches; do WINEPREFIX="$build_root/wineprefix-$arch" wineserver -k 2>/dev/null || true; done
  stop_virtual_display
  unmount_leftovers
  rm -rf "$lock"
}
trap cleanup EXIT
# What a crashed run left behind goes first: its disks and status files.
unmount_leftovers
rm -f "$build_root"/*.status
mkdir -p "$build_root/disks"
# Whether small disks can be mounted here, found out once: root in a
# container without the right to mount cannot, and those tests then skip.
probe="$build_root/disks/probe"
mkdir -p "$probe"
if mount -t tmpfs -o size=65536 tmpfs "$probe" 2>/dev/null; then
  umount "$probe"
  echo 1 >"$build_root/can-mount"
else
  echo 0 >"$build_root/can-mount"
  echo "Cannot mount here: the tests that need small disks will be skipped (CI runs them)."
fi
rmdir "$probe"

# Each architecture's tests run in a Wine prefix and on a display of their
# own, so that the two run side by side: no window of one takes the focus or
# the activation from a window of the other, and each has its own drive A:
# and its own settings key.
for arch in $arches; do
  export WINEPREFIX="$build_root/wineprefix-$arch"
  ensure_prefix
  start_virtual_display "display-$arch"
  # What a crashed run left in the prefix: temporary folders, and the link
  # handlers the About test points at a recorder of the links.
  rm -rf "$WINEPREFIX"/drive_c/users/*/Temp/pt* "$WINEPREFIX"/drive_c/windows/temp/pt*
  for scheme in http mailto; do
    if grep -A3 -F "[Software\\\\Classes\\\\$scheme\\\\shell\\\\open\\\\command]" "$WINEPREFIX/system.reg" | grep -q 'links.txt'; then
      $wine64 reg delete "HKCR\\$scheme\\shell\\open\\command" /f >/dev/null 2>&1 || true
    fi
  done
  # Wine learns its drives when its services start: a drive A: that first
  # appears later is not reported removable. The tests put their small disks
  # into A:, so A: exists from the start, as an empty drive.
  ln -sfn /nonexistent-partola-disk "$WINEPREFIX/dosdevices/a:"
  wineserver -p
  # Start Wine's background services now, detached from CTest's output
  # pipes: a service started by the first test would hold CTest's pipe open.
  $wine64 cmd.exe /c exit </dev/null >/dev/null 2>&1
done

# One CTest run over both architectures, so that each runs the suites that
# share its settings key or its drive one after another while the two
# architectures, and the suites that share nothing, run side by side.
{
  echo "# Both architectures' tests in one run (written by test.sh)."
  for arch in $arches; do echo "subdirs(\"$arch\")"; done
  # Where the 32-bit program cannot run, what needs no 32-bit process still
  # checks it: the 64-bit import audit reads its import table, and the
  # instruction audit its code.
  if [ -n "${audit_32bit_only:-}" ]; then
    echo "add_test(i686.instructions bash \"$repo_root/tests/imports/instruction_audit.sh\" \"$build_root/i686/Partola95.exe\")"
    echo "add_test(i686.instruction_audit bash \"$repo_root/tests/imports/instruction_audit_test.sh\")"
    echo "add_test(i686.imports \"$build_root/x86_64/wine-exec\" \"$build_root/x86_64/tests/imports_tests.exe\")"
    echo "set_tests_properties(i686.imports PROPERTIES TIMEOUT 300" \
         "ENVIRONMENT \"PARTOLA_AUDIT_EXE=Z:$build_root/i686/Partola95.exe\")"
  fi
} > "$build_root/CTestTestfile.cmake"
# A failed test runs once more before it counts as failed, so that one rare
# stall of Wine on a loaded machine does not fail a whole run; the first
# failure's output stays in the log (a wait for the main window that times out
# lists the program's windows and boxes), and a test that fails twice fails.
ctest --test-dir "$build_root" --output-on-failure -j"$(nproc)" --repeat until-pass:2 "$@"
