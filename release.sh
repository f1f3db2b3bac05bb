#!/usr/bin/env bash
# Builds the 32-bit and the 64-bit program in release mode and packs them with
# their help file and the README into build/release/Partola95-3.2.zip.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
source scripts/common.sh
out="$build_root/release"
rm -rf "$out/Partola95-3.2" && mkdir -p "$out/Partola95-3.2"
for arch in i686 x86_64; do
  build_arch "$arch" Release >/dev/null
  suffix=32; [ "$arch" = x86_64 ] && suffix=64
  cp "$build_root/$arch-release/Partola95.exe" "$out/Partola95-3.2/Partola95-$suffix.exe"
  # The 32-bit program must run on a 486 and a Pentium: audited before its
  # function names are stripped (stripping leaves the code as it is).
  if [ "$arch" = i686 ]; then
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
rm -f "$out/Partola95-3.2.zip"
(cd "$out" && zip -qr Partola95-3.2.zip Partola95-3.2)
echo "Release package: $out/Partola95-3.2.zip"
unzip -l "$out/Partola95-3.2.zip"
