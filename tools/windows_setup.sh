#!/usr/bin/env bash
# Installs the Debian packages that the Windows build and its tests need beyond the
# Linux ones (tools/setup.sh), if any is missing: the mingw-w64 cross-compiler, Wine
# and NSIS. apt-get as root, through sudo otherwise.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64  # the cross-compiler and objdump
  dpkg-dev                                         # apt-get source unpacks with dpkg-source
  wine64 wine                                      # running the .exe
  nsis                                             # the installer
  xvfb                                             # a private X server for the tests
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y "${missing[@]}"
