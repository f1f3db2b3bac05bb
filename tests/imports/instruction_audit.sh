#!/usr/bin/env bash
# The instruction audit: the 32-bit program holds no instruction that a 486
# or a Pentium (P5, P55C with MMX; AMD's K5 and K6) lacks, so that it runs on
# the processors Windows 95 ran on. Disassembles the program and fails on each
# such instruction, naming the function that holds it; the function names
# come from the unstripped program.
# Usage: instruction_audit.sh PROGRAM.exe
set -euo pipefail
program=$1
[ -f "$program" ] || { echo "No program at $program" >&2; exit 2; }
# Pentium Pro and later (cmov, fcmov, fcomi), SSE3 (fisttp), Pentium-era
# extras a 486 lacks (cmpxchg8b, rdtsc, cpuid), later additions, and any
# MMX or SSE register.
forbidden='^(cmov|fcmov|fcomip?$|fucomip?$|fisttp|cmpxchg8b|rdtsc|rdrand|rdseed|cpuid|sysenter|sysexit|syscall|sysret|tzcnt|lzcnt|popcnt|movbe|lfence|sfence|mfence|prefetch|clflush)'
disassembly=$(i686-w64-mingw32-objdump -d --no-show-raw-insn "$program")
grep -q '^[0-9a-f]* <' <<<"$disassembly" || { echo "Nothing disassembled in $program" >&2; exit 2; }
awk -v forbidden="$forbidden" '
  /^[0-9a-f]+ <.*>:$/ { function_name = substr($2, 2, length($2) - 3) }
  /^ +[0-9a-f]+:\t/ {
    split($0, field, "\t")
    mnemonic = field[2]; sub(/ .*/, "", mnemonic)
    if (mnemonic ~ forbidden || field[2] ~ /%[xy]?mm[0-9]/) {
      ++found[function_name]; ++total
      if (!(function_name in example)) example[function_name] = field[2]
    }
  }
  END {
    for (f in found) printf "  %s: %d (%s)\n", f, found[f], example[f]
    if (total) { printf "%d instructions a 486 or a Pentium lacks\n", total; exit 1 }
    print "No instruction a 486 or a Pentium lacks"
  }' <<<"$disassembly"
