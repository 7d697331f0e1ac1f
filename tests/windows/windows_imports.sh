#!/usr/bin/env bash
# windows_imports.sh OBJDUMP EXE: fails unless EXE is a GUI program (no console window)
# that imports only DLLs that come with Windows itself, so that it runs from any folder
# with nothing installed beside it.
set -euo pipefail
own='^(kernel32|user32|gdi32|opengl32|winmm|advapi32|msvcrt)\.dll$'
headers=$("$1" -p "$2")
subsystem=$(awk '$1 == "Subsystem" { print $2 }' <<<"$headers")
if [[ $subsystem != 00000002 ]]; then
  echo "subsystem $subsystem, not 00000002 (Windows GUI)"
  exit 1
fi
echo "subsystem: Windows GUI"
dlls=$(cat <<<"$headers" | awk '/DLL Name:/ { print tolower($3) }' | sort -u)
[[ -n $dlls ]] || { echo "no imports found in $2"; exit 1; }
echo "imports:" $dlls
others=$(grep -Ev "$own" <<<"$dlls" || true)
if [[ -n $others ]]; then
  echo "not Windows' own:" $others
  exit 1
fi
