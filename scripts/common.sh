# Shared steps of run.sh and test.sh: build one architecture, prepare the
# project's own Wine prefix, start a virtual display. Sourced, not run.

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root=${PARTOLA_BUILD_ROOT:-$repo_root/build}
build_root=$(mkdir -p "$build_root" && cd "$build_root" && pwd)
export WINEPREFIX="$build_root/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
# Wine's own tools (wineboot, reg, cmd) run through the 64-bit loader: the
# `wine` launcher prefers the 32-bit one, which not every machine can start.
wine64=/usr/lib/wine/wine64

# True when this machine can start 32-bit Linux programs, which Wine needs to
# run a 32-bit Windows program. Some kernels (sandboxes among them) cannot
# start them natively: scripts/run_32bit.sh then runs them under qemu-i386.
can_run_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# build_arch ARCH [BUILD_TYPE]: configure once, then build incrementally.
build_arch() {
  local arch=$1 type=${2:-Debug} dir="$build_root/$1"
  [ "$type" = Debug ] || dir="$build_root/$1-${type,,}"
  # CMake keeps the compilers it first found: a build folder configured with
  # another toolchain file is configured afresh.
  local toolchain="$repo_root/cmake/toolchain-$arch.cmake" stamp
  stamp=$(sha1sum "$toolchain" | cut -d' ' -f1)
  if [ -f "$dir/Makefile" ] && [ "$(cat "$dir/toolchain.sha1" 2>/dev/null)" != "$stamp" ]; then
    echo "The toolchain of $arch changed: configuring $dir afresh."
    rm -rf "$dir"
  fi
  if [ ! -f "$dir/Makefile" ]; then
    local tests=ON
    [ "$type" = Debug ] || tests=OFF
    cmake -S "$repo_root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE="$type" -DPARTOLA_BUILD_ROOT="$build_root" -DPARTOLA_TESTS=$tests >/dev/null
    echo "$stamp" >"$dir/toolchain.sha1"
  fi
  cmake --build "$dir" -j"$(nproc)"
}

# A prefix made before wine32 was installed cannot load kernel32 afterwards, so
# the prefix remembers the Wine packages it was made with and is made anew when
# they change.
ensure_prefix() {
  local stamp
  # wineboot fills the 32-bit side (syswow64) only when Wine's 32-bit loader
  # starts: a prefix made before it could is made anew once it can.
  local wow=no
  can_run_32bit && wow=yes
  stamp="fonts:marlett,sserife 32-bit:$wow $(dpkg-query -W -f='${Version} ' wine wine32:i386 wine64 fonts-wine 2>/dev/null)"
  if [ -f "$WINEPREFIX/.partola-stamp" ] && [ "$(cat "$WINEPREFIX/.partola-stamp")" = "$stamp" ]; then
    return 0
  fi
  echo "Preparing the Wine prefix in $WINEPREFIX ..."
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  $wine64 wineboot -i >/dev/null 2>&1
  # The dialogs' font (MS Sans Serif) and the caption buttons' glyphs (Marlett):
  # without them Wine draws the templates in a wider stand-in font that cuts
  # off their texts, and letters instead of the caption buttons.
  # (Only these two: more of Wine's fonts there slowed every window's start.)
  cp /usr/share/wine/fonts/{marlett.ttf,sserife.fon} "$WINEPREFIX/drive_c/windows/Fonts/"
  # A virtual desktop: without a window manager every window close costs seconds.
  $wine64 reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  $wine64 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  # A crashing program must end at once instead of waiting behind a crash dialog.
  $wine64 reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
  $wine64 reg delete 'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
  $wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  echo "$stamp" > "$WINEPREFIX/.partola-stamp"
}

# start_virtual_display [FILE]: an Xvfb of our own; its name goes into the
# build root (into FILE there, "display" by default) so that CTest's wrapper
# finds it.
start_virtual_display() {
  local file=${1:-display}
  local fifo dn
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r dn <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$dn"
  echo "$DISPLAY" > "$build_root/$file"
  xvfb_pids="${xvfb_pids:-} $xvfb_pid"
  display_files="${display_files:-} $build_root/$file"
}

# Ends every virtual display this shell started.
stop_virtual_display() {
  for pid in ${xvfb_pids:-}; do kill "$pid" 2>/dev/null || true; done
  for file in ${display_files:-}; do rm -f "$file"; done
}
