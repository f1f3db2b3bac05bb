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
# Pentium Pro and later (cmov, fcmov, fcomi, the long NOPs nopw/nopl),
# SSE3 (fisttp), Pentium-era extras a 486 lacks (cmpxchg8b, rdtsc, rdpmc,
# cpuid), MMX and 3DNow! state (emms, femms), SSE state and stores (ldmxcsr,
# stmxcsr, fxsave, fxrstor, movnti), CET (endbr32), SSE4.2 (crc32), BMI, and
# later additions; besides, any MMX or SSE register.
forbidden='^(cmov|fcmov|fcomip?$|fucomip?$|fisttp|cmpxchg8b|rdtsc|rdpmc|rdrand|rdseed|cpuid|'\
'sysenter|sysexit|syscall|sysret|tzcnt|lzcnt|popcnt|movbe|lfence|sfence|mfence|prefetch|clflush|'\
'nop[wl]$|endbr|f?emms$|ldmxcsr|stmxcsr|fxsave|fxrstor|movnti|crc32|xgetbv|xsetbv|xsave|xrstor|'\
'(andn|bextr|blsi|blsmsk|blsr|bzhi|pdep|pext|rorx|sarx|shlx|shrx)[lq]?$)'
# The instructions' prefixes, which objdump writes before the mnemonic.
prefixes='^(lock|rep|repz|repe|repnz|repne|data16|data32|addr16|addr32|[cdefgs]s|bnd|notrack|xacquire|xrelease)$'
# A section whose callbacks the program's own start-up code never runs: the
# thread-local storage directory (.tls) and the C run-time's initialiser
# lists (.CRT).
sections=$(i686-w64-mingw32-objdump -h "$program" | awk '$1 ~ /^[0-9]+$/ && $2 ~ /^\.(tls|CRT)/ {print $2}')
disassembly=$(i686-w64-mingw32-objdump -d --no-show-raw-insn "$program")
grep -q '^[0-9a-f]* <' <<<"$disassembly" || { echo "Nothing disassembled in $program" >&2; exit 2; }
awk -v forbidden="$forbidden" -v prefixes="$prefixes" -v sections="$sections" '
  /^[0-9a-f]+ <.*>:$/ { function_name = substr($2, 2, length($2) - 3) }
  /^ +[0-9a-f]+:\t/ {
    split($0, field, "\t")
    n = split(field[2], word, " ")
    for (w = 1; w < n && word[w] ~ prefixes; ++w) {}
    mnemonic = word[w]
    if (mnemonic == "nop" && w < n) mnemonic = "nopl"  # 0F 1F with a register
    # Bytes that decode as nothing: only the constructor and destructor
    # lists hold data (their -1 header) among the code.
    bad = mnemonic == "(bad)" && function_name !~ /^_*[CD]TOR_LIST__$/
    if (bad || mnemonic ~ forbidden || field[2] ~ /%[xy]?mm[0-9]/) {
      ++found[function_name]; ++total
      if (!(function_name in example)) example[function_name] = field[2]
    }
  }
  END {
    for (f in found) printf "  %s: %d (%s)\n", f, found[f], example[f]
    if (sections != "") { printf "Sections our start-up code never runs: %s\n", sections; ++total }
    if (total) { printf "%d instructions a 486 or a Pentium lacks, or sections it cannot use\n", total; exit 1 }
    print "No instruction a 486 or a Pentium lacks"
  }' <<<"$disassembly"
