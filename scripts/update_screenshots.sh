#!/usr/bin/env bash
# Takes the pictures of the five windows and of the help from the running
# program (64-bit build, under Wine on the virtual display) and puts small
# copies of them in docs/screenshots for the README.
set -euo pipefail
cd "$(dirname "$0")/.."

shots=(main_window progress_window backup_dialog options_dialog about_dialog help_contents
       help_option_topic)
build_root=${PARTOLA_BUILD_ROOT:-$PWD/build}
for name in "${shots[@]}"; do rm -f "$build_root/screenshots/$name-x86_64.png"; done

# The pictures come from their own program (tests/screenshots), which works
# the real program as a user does; the test run leaves it out unless
# PARTOLA_SCREENSHOTS is set.
PARTOLA_SCREENSHOTS=1 PARTOLA_ARCHES=x86_64 ./test.sh -R 'x86_64\.screenshots'

mkdir -p docs/screenshots
for name in "${shots[@]}"; do
  picture="$build_root/screenshots/$name-x86_64.png"
  if [ ! -f "$picture" ]; then
    echo "No picture of $name was taken (the backup dialog needs root for its small disk)." >&2
    exit 1
  fi
  # The pictures are already cut to the window; a palette of 64 colours keeps
  # them small without visible loss on the flat Windows 95 look.
  convert "$picture" -strip -colors 64 "PNG8:docs/screenshots/$name.png"
done
ls -l docs/screenshots
