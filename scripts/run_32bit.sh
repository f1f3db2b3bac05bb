# Lets this machine start 32-bit Linux programs, which Wine's 32-bit loader
# is, and so the 32-bit Windows program. Sourced by test.sh and release.sh
# after common.sh, not run.
#
# ensure_32bit_programs sets run32 to one of three cases and says which:
#   native    - the kernel starts 32-bit programs itself, or a handler for
#               i386 programs is already registered: left as it is;
#   emulated  - they run under qemu-i386, set up here (qemu-user from
#               bookworm-backports, registered in binfmt_misc) or by an
#               earlier run;
#   none      - neither can be done here (no root, no binfmt_misc): the
#               32-bit program is built and audited, its runs are left out.
# A second call changes nothing. PARTOLA_EMULATE_32BIT=1 sets up the emulator
# even where the kernel starts 32-bit programs itself, to check the emulated
# runs on such a machine (best in a user namespace of its own: `unshare -Urm`,
# whose binfmt_misc no other process sees).

binfmt=/proc/sys/fs/binfmt_misc
qemu_i386=/usr/bin/qemu-i386
# An i386 ELF executable or shared object (the loader is one).
i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

# The name of the enabled binfmt_misc handler of i386 programs, if any.
i386_handler() {
  local entry
  for entry in "$binfmt"/*; do
    [ -f "$entry" ] || continue
    case ${entry##*/} in register | status) continue ;; esac
    grep -qx enabled "$entry" 2>/dev/null || continue
    # The kernel lists the magic as plain hex: 7f454c46 01 01 01 ... 02 00 03 00.
    grep -qx 'magic 7f454c4601010100000000000000000002000300' "$entry" && {
      echo "${entry##*/}"
      return 0
    }
  done
  return 1
}

# qemu-i386 10 or later: bookworm's own 7.2 needs about a minute to start one
# Windows program under Wine, the backported 10.x half a second.
have_qemu_i386() {
  [ -x "$qemu_i386" ] || return 1
  local major
  major=$("$qemu_i386" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p')
  [ -n "$major" ] && [ "$major" -ge 10 ]
}

# Adds bookworm-backports for qemu-user alone: every other package keeps
# coming from bookworm, on installs and on upgrades alike.
install_qemu_user() {
  local sudo=$1
  if [ ! -f /etc/apt/sources.list.d/bookworm-backports.sources ]; then
    $sudo tee /etc/apt/sources.list.d/bookworm-backports.sources >/dev/null <<'EOF'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  fi
  $sudo tee /etc/apt/preferences.d/bookworm-backports-qemu-user >/dev/null <<'EOF'
Package: *
Pin: release n=bookworm-backports
Pin-Priority: 1

Package: qemu-user
Pin: release n=bookworm-backports
Pin-Priority: 500
EOF
  $sudo apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
    qemu-user >/dev/null
}

ensure_32bit_programs() {
  local handler sudo=""
  if can_run_32bit && { [ "${PARTOLA_EMULATE_32BIT:-0}" != 1 ] || i386_handler >/dev/null; }; then
    if handler=$(i386_handler); then
      run32=emulated
      echo "== 32-bit programs run under emulation (binfmt_misc handler \"$handler\")."
    else
      run32=native
      echo "== 32-bit programs start natively."
    fi
    return 0
  fi
  run32=none
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
      sudo="sudo -n"
    else
      echo "== 32-bit programs cannot start here and setting up their emulation needs root."
      return 0
    fi
  fi
  if ! grep -qw binfmt_misc /proc/filesystems; then
    echo "== 32-bit programs cannot start here and this kernel has no binfmt_misc for an emulator."
    return 0
  fi
  if [ ! -f "$binfmt/register" ] &&
    ! $sudo mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null; then
    echo "== 32-bit programs cannot start here and binfmt_misc cannot be mounted."
    return 0
  fi
  if handler=$(i386_handler); then
    # A handler that does not start the loader is someone else's: left alone.
    echo "== 32-bit programs cannot start here although binfmt_misc handler \"$handler\" is registered."
    return 0
  fi
  if ! have_qemu_i386; then
    echo "== Installing qemu-user from bookworm-backports to run 32-bit programs ..."
    install_qemu_user "$sudo" || true
    if ! have_qemu_i386; then
      echo "== 32-bit programs cannot start here: qemu-user 10 could not be installed."
      return 0
    fi
  fi
  # F: the kernel opens the emulator now, so that it is found from every
  # mount namespace and chroot later.
  echo ":qemu-i386:M::$i386_magic:$i386_mask:$qemu_i386:F" | $sudo tee "$binfmt/register" >/dev/null ||
    true
  if i386_handler >/dev/null && can_run_32bit; then
    run32=emulated
    echo "== 32-bit programs run under emulation: qemu-i386 registered in binfmt_misc here."
  else
    echo "== 32-bit programs cannot start here, not even under qemu-i386."
  fi
}
