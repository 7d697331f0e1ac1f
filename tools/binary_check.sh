#!/usr/bin/env bash
# binary_check.sh BINARY BUILD: fails unless the knotwerry executable is hardened as the
# hardening flags of BUILD, the build folder it comes from, ask (the build writes them to
# hardening-flags.txt), and its own code allocates nothing: it imports no allocator.
# What the flags ask for is required: a position-independent executable (-pie), RELRO
# (-z relro), binding at load (-z now), the stack protector (-fstack-protector*) and
# fortified libc calls (-D_FORTIFY_SOURCE); what they do not ask for is only reported,
# since a compiler may harden by default. From the build's compile_commands.json it also
# checks that every program source was compiled with the stack-protector and fortify
# flags asked for, since fortify leaves no mark on a binary that calls nothing it guards.
set -euo pipefail

binary=$1
build=$2
flags=" $(cat "$build/hardening-flags.txt") "
commands=$build/compile_commands.json
failed=0

say() { printf '%-34s %s\n' "$1" "$2"; }
fail() { say "$1" "NO: $2"; failed=1; }
asked() { grep -Eq -- "$1" <<<"$flags"; }
# check NAME PATTERN HOLDS WHY: required when the flags match PATTERN, reported otherwise.
check() {
  if asked "$2"; then
    if $3; then say "$1" yes; else fail "$1" "$4"; fi
  elif $3; then
    say "$1" "yes (not asked for: the compiler's default)"
  else
    say "$1" "no (not asked for)"
  fi
}

headers=$(readelf -hW "$binary")
dynamic=$(readelf -dW "$binary")
segments=$(readelf -lW "$binary")
imports=$(readelf --dyn-syms -W "$binary" | awk '$7 == "UND" && $8 != "" { sub(/@.*/, "", $8); print $8 }' | sort -u)

is_pie() { grep -q 'Type: *DYN' <<<"$headers" && grep -q 'FLAGS_1.*PIE' <<<"$dynamic"; }
has_relro() { grep -q 'GNU_RELRO' <<<"$segments"; }
binds_now() { grep -Eq '\(FLAGS\).*BIND_NOW|FLAGS_1.*NOW' <<<"$dynamic"; }
protects_stack() { grep -qx '__stack_chk_fail' <<<"$imports"; }
check "position-independent executable" ' -pie ' is_pie "not an ELF of type DYN with the PIE flag"
check "RELRO" '[ ,]-?z[ ,]?relro' has_relro "no GNU_RELRO segment"
check "immediate binding (full RELRO)" '[ ,]-?z[ ,]?now' binds_now "no BIND_NOW"
check "stack protector" ' -fstack-protector' protects_stack "__stack_chk_fail is not imported"

# Every libc function that has a checked twin (__memcpy_chk for memcpy, ...) must be
# imported as the twin.
libc=$(ldd "$binary" | awk '$1 == "libc.so.6" { print $3 }')
guarded=$(readelf --dyn-syms -W "$libc" | awk '{ sub(/@.*/, "", $8); print $8 }' |
          sed -n 's/^__\(.*\)_chk$/\1/p' | sort -u)
plain=$(comm -12 <(echo "$imports") <(echo "$guarded") | xargs)
checked=$(grep -c '^__.*_chk$' <<<"$imports" || true)
fortify=' -D_FORTIFY_SOURCE='
if [[ -n $plain ]] && asked "$fortify"; then
  fail "fortified libc calls" "unguarded imports: $plain"
elif [[ -n $plain ]]; then
  say "fortified libc calls" "no (not asked for)"
else
  say "fortified libc calls" "yes (no unguarded import; $checked checked)"
fi

# The compile flags asked for, each as it must stand in every program source's command.
wanted=()
asked "$fortify" && wanted+=(-D_FORTIFY_SOURCE=)
asked ' -fstack-protector' && wanted+=(-fstack-protector)
if [[ ${#wanted[@]} -gt 0 ]]; then
  # CMake writes each entry's "command" line before its "file" line.
  checks=$(awk -v wanted="${wanted[*]}" '
    BEGIN { n = split(wanted, flags, " ") }
    /"command":/ { command = $0 }
    /"file": *".*\/(app|grid|view|input|platform)\/[^\/]*\.cpp"/ {
      sources++
      for (i = 1; i <= n; i++)
        if (index(command, flags[i]) == 0) {
          match($0, /[^\/"]*\/[^\/"]*\.cpp/); unflagged = unflagged " " substr($0, RSTART, RLENGTH)
          break
        }
    }
    END { print sources + 0; print unflagged }' "$commands")
  sources=$(head -1 <<<"$checks")
  unflagged=$(tail -n +2 <<<"$checks" | xargs)
  if [[ $sources -eq 0 ]]; then
    fail "sources compiled hardened" "no program source in $commands"
  elif [[ -n $unflagged ]]; then
    fail "sources compiled hardened" "without ${wanted[*]}: $unflagged"
  else
    say "sources compiled hardened" "yes ($sources sources, with ${wanted[*]})"
  fi
fi

allocators=$(grep -Ex 'malloc|calloc|realloc|reallocarray|free|aligned_alloc|posix_memalign|memalign|valloc|pvalloc|strn?dup|_Zn[wa].*|_Zd[la].*' <<<"$imports" | xargs || true)
if [[ -n $allocators ]]; then
  fail "no heap allocation of its own" "imports $allocators"
else
  say "no heap allocation of its own" "yes (no allocator imported)"
fi

exit $failed
