#!/usr/bin/env bash
# Installs what is missing, builds the program as users get it (optimised)
# and starts it under Wine.
# The optional argument is passed as the command-line tail (the source path):
#   ./run.sh                 ./run.sh 'C:\Docs\report.doc'
# With no display, the program runs on a virtual one and a screenshot of it is
# written every few seconds to build/screenshots/run.png.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
source scripts/common.sh
build_arch x86_64 Release >/dev/null
ensure_prefix
exe="$build_root/x86_64-release/Partola95.exe"

if [ -z "${DISPLAY:-}" ]; then
  start_virtual_display
  mkdir -p "$build_root/screenshots"
  shot="$build_root/screenshots/run.png"
  echo "No display found: Veltra Partola 95 runs on the virtual display $DISPLAY."
  echo "A screenshot of it is written every 3 seconds to $shot."
  echo "Press Ctrl+C to stop it."
  ( while sleep 3; do import -window root "$shot" 2>/dev/null || true; done ) &
  shooter=$!
  trap 'kill $shooter 2>/dev/null; wineserver -k 2>/dev/null; stop_virtual_display' EXIT
fi
set +e
if [ $# -gt 0 ]; then /usr/lib/wine/wine64 "$exe" "$1"; else /usr/lib/wine/wine64 "$exe"; fi
code=$?
echo "Veltra Partola 95 ended with exit code $code."
exit $code
