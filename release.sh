#!/usr/bin/env bash
# Builds the 32-bit and the 64-bit program in release mode and packs them with
# their help file and the README into build/release/Partola95-3.2.zip.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
source scripts/common.sh
source scripts/run_32bit.sh
ensure_32bit_programs
# The audits' and the start-up check's drivers: the 64-bit test programs.
build_arch x86_64 >/dev/null
export WINEPREFIX="$build_root/wineprefix-release"
ensure_prefix
start_virtual_display display-release
trap 'wineserver -k 2>/dev/null || true; stop_virtual_display' EXIT
out="$build_root/release"
rm -rf "$out/Partola95-3.2" && mkdir -p "$out/Partola95-3.2"
for arch in i686 x86_64; do
  build_arch "$arch" Release >/dev/null
  suffix=32; [ "$arch" = x86_64 ] && suffix=64
  cp "$build_root/$arch-release/Partola95.exe" "$out/Partola95-3.2/Partola95-$suffix.exe"
  # The 32-bit program must run on a 486 and a Pentium: audited before its
  # function names are stripped (stripping leaves the code as it is).
  if [ "$arch" = i686 ]; then
    echo "== Instruction audit of Partola95-$suffix.exe"
    tests/imports/instruction_audit.sh "$out/Partola95-3.2/Partola95-$suffix.exe"
  fi
  "$arch-w64-mingw32-strip" "$out/Partola95-3.2/Partola95-$suffix.exe"
done
# One help file serves both programs: it lies beside them in the package.
cp "$build_root/x86_64-release/Partola95.hlp" "$out/Partola95-3.2/"
cp README.md "$out/Partola95-3.2/"
# The README shows its pictures from docs/screenshots.
mkdir -p "$out/Partola95-3.2/docs"
cp -r docs/screenshots "$out/Partola95-3.2/docs/"
# The import audit reads each program as packed.
for suffix in 32 64; do
  echo "== Import audit of Partola95-$suffix.exe"
  PARTOLA_AUDIT_EXE="Z:${out//\//\\}\\Partola95-3.2\\Partola95-$suffix.exe" \
    $wine64 "$build_root/x86_64/tests/imports_tests.exe" --gtest_brief=1 | grep -v '^Running main'
done
# The programs as packed start under Wine, the 32-bit one as Windows 95: each
# opens its main window with its title and closes on Close, driven by the
# tests' program driver.
for suffix in 32 64; do
  version=$([ "$suffix" = 32 ] && echo win95 || echo winxp64)
  if [ "$suffix" = 32 ] && [ "$run32" = none ]; then
    echo "== Start-up check of Partola95-32.exe NOT run: this machine cannot start 32-bit programs"
    continue
  fi
  $wine64 reg add "HKCU\\Software\\Wine\\AppDefaults\\Partola95-$suffix.exe" /v Version /d $version /f \
    >/dev/null 2>&1
  echo "== Start-up check of Partola95-$suffix.exe as $version"
  PARTOLA_PROGRAM="Z:${out//\//\\}\\Partola95-3.2\\Partola95-$suffix.exe" \
    $wine64 "$build_root/x86_64/tests/e2e_tests.exe" --gtest_filter='ShippedProgram.*' \
    --gtest_brief=1 | grep -v '^Running main'
done
rm -f "$out/Partola95-3.2.zip"
(cd "$out" && zip -qr Partola95-3.2.zip Partola95-3.2)
echo "Release package: $out/Partola95-3.2.zip"
unzip -l "$out/Partola95-3.2.zip"
