#!/usr/bin/env bash
# binary_check.sh BINARY [COMPILE_COMMANDS]: fails unless the knotwerry executable is
# hardened (position-independent, full RELRO, bound at load, stack-protected, its libc
# calls fortified) and its own code allocates nothing: it imports no allocator at all.
# With the build's compile_commands.json it also checks that every program source was
# compiled with the fortify and stack-protector flags, since fortify leaves no mark on
# a binary that calls nothing it guards.
set -euo pipefail

binary=$1
commands=${2:-}
failed=0

say() { printf '%-34s %s\n' "$1" "$2"; }
fail() { say "$1" "NO: $2"; failed=1; }

headers=$(readelf -hW "$binary")
dynamic=$(readelf -dW "$binary")
segments=$(readelf -lW "$binary")
imports=$(readelf --dyn-syms -W "$binary" | awk '$7 == "UND" && $8 != "" { sub(/@.*/, "", $8); print $8 }' | sort -u)

if grep -q 'Type: *DYN' <<<"$headers" && grep -q 'FLAGS_1.*PIE' <<<"$dynamic"; then
  say "position-independent executable" yes
else
  fail "position-independent executable" "not an ELF of type DYN with the PIE flag"
fi

if grep -q 'GNU_RELRO' <<<"$segments"; then
  say "RELRO" yes
else
  fail "RELRO" "no GNU_RELRO segment"
fi

if grep -Eq '\(FLAGS\).*BIND_NOW|FLAGS_1.*NOW' <<<"$dynamic"; then
  say "immediate binding (full RELRO)" yes
else
  fail "immediate binding (full RELRO)" "no BIND_NOW"
fi

if grep -qx '__stack_chk_fail' <<<"$imports"; then
  say "stack protector" yes
else
  fail "stack protector" "__stack_chk_fail is not imported"
fi

# Every libc function that has a checked twin (__memcpy_chk for memcpy, ...) must be
# imported as the twin.
libc=$(ldd "$binary" | awk '$1 == "libc.so.6" { print $3 }')
guarded=$(readelf --dyn-syms -W "$libc" | awk '{ sub(/@.*/, "", $8); print $8 }' |
          sed -n 's/^__\(.*\)_chk$/\1/p' | sort -u)
plain=$(comm -12 <(echo "$imports") <(echo "$guarded") | xargs)
checked=$(grep -c '^__.*_chk$' <<<"$imports" || true)
if [[ -n $plain ]]; then
  fail "fortified libc calls" "unguarded imports: $plain"
else
  say "fortified libc calls" "yes (no unguarded import; $checked checked)"
fi

if [[ -n $commands ]]; then
  # CMake writes each entry's "command" line before its "file" line.
  checks=$(awk '
    /"command":/ { command = $0 }
    /"file": *".*\/(app|grid|view|input)\/[^\/]*\.cpp"/ {
      sources++
      if (command !~ /-D_FORTIFY_SOURCE=2/ || command !~ /-fstack-protector-strong/) {
        match($0, /[^\/"]*\/[^\/"]*\.cpp/); unflagged = unflagged " " substr($0, RSTART, RLENGTH)
      }
    }
    END { print sources + 0; print unflagged }' "$commands")
  sources=$(head -1 <<<"$checks")
  unflagged=$(tail -n +2 <<<"$checks" | xargs)
  if [[ $sources -eq 0 ]]; then
    fail "compiled with the hardening flags" "no program source in $commands"
  elif [[ -n $unflagged ]]; then
    fail "compiled with the hardening flags" "$unflagged"
  else
    say "compiled with the hardening flags" "yes ($sources sources)"
  fi
fi

allocators=$(grep -Ex 'malloc|calloc|realloc|reallocarray|free|aligned_alloc|posix_memalign|memalign|valloc|pvalloc|strn?dup|_Zn[wa].*|_Zd[la].*' <<<"$imports" | xargs || true)
if [[ -n $allocators ]]; then
  fail "no heap allocation of its own" "imports $allocators"
else
  say "no heap allocation of its own" "yes (no allocator imported)"
fi

exit $failed
