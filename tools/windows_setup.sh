#!/usr/bin/env bash
# Installs the Debian packages that the Windows build and its tests need beyond the
# Linux ones (tools/setup.sh), if any is missing: the mingw-w64 cross-compiler, Wine
# and NSIS (tools/install_missing.sh).
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64  # the cross-compiler and objdump
  dpkg-dev                                         # apt-get source unpacks with dpkg-source
  wine64 wine                                      # running the .exe
  nsis                                             # the installer
  xvfb                                             # a private X server for the tests
)

exec "$(dirname "$0")/install_missing.sh" "${packages[@]}"
