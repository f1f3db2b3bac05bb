#!/usr/bin/env bash
# The instruction audit's own rows: an object that holds one instruction a 486
# or a Pentium lacks, a byte that decodes as nothing, or a section our start-up
# code never runs fails it; an object of a 486's instructions passes.
set -uo pipefail
audit="$(dirname "$0")/instruction_audit.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# check pass|fail NAME ASSEMBLY
check() {
  printf '%s\n' "$3" >"$work/$2.s"
  i686-w64-mingw32-as -o "$work/$2.o" "$work/$2.s" || { echo "$2: does not assemble"; ((++failures)); return; }
  local got=fail
  bash "$audit" "$work/$2.o" >"$work/$2.log" 2>&1 && got=pass
  if [ "$got" != "$1" ]; then
    echo "$2: expected $1, got $got"
    cat "$work/$2.log"
    ((++failures))
  fi
}
code() { printf '.text\nrow:\n%s\nret\n' "$1"; }

check pass i486 "$(code 'xadd %eax, (%ecx)
lock cmpxchg %ecx, (%edx)
rep movsl
bswap %eax
nop
xchg %ax, %ax
fld1')"
check pass constructor_lists '.text
__CTOR_LIST__: .long -1, 0
__DTOR_LIST__: .long -1, 0'
while read -r name instruction; do
  check fail "$name" "$(code "$instruction")"
done <<'ROWS'
cmov cmovne %eax, %ecx
fcomi fcomi %st(1), %st
lock_cmpxchg8b lock cmpxchg8b (%esi)
rdtsc rdtsc
rdpmc rdpmc
cpuid cpuid
nopw nopw 0x0(%eax,%eax,1)
nopl nopl 0x0(%eax)
nop_register .byte 0x0f, 0x1f, 0xc0
endbr32 endbr32
emms emms
femms femms
ldmxcsr ldmxcsr (%eax)
stmxcsr stmxcsr (%eax)
fxsave fxsave (%eax)
fxrstor fxrstor (%eax)
movnti movnti %eax, (%ecx)
crc32 crc32b %cl, %eax
andn andn %eax, %ecx, %edx
bextr bextr %eax, %ecx, %edx
blsi blsi %eax, %ecx
blsmsk blsmsk %eax, %ecx
blsr blsr %eax, %ecx
bzhi bzhi %eax, %ecx, %edx
pdep pdep %eax, %ecx, %edx
pext pext %eax, %ecx, %edx
rorx rorx $3, %eax, %ecx
sarx sarx %eax, %ecx, %edx
shlx shlx %eax, %ecx, %edx
shrx shrx %eax, %ecx, %edx
xgetbv xgetbv
mmx_register movd %eax, %mm0
sse_register addps %xmm1, %xmm0
bad .byte 0xff, 0xff
ROWS
check fail tls_section "$(code nop)
.section .tls\$,\"w\"
.long 0"
check fail crt_section "$(code nop)
.section .CRT\$XCU,\"r\"
.long row"
[ "$failures" -eq 0 ] && echo "Every row of the instruction audit holds"
exit $((failures > 0))
