#!/usr/bin/env bash
# Installs the Debian packages that building, playing and testing need, if any is
# missing (tools/install_missing.sh).
set -euo pipefail

packages=(
  make cmake g++                                  # build
  freeglut3-dev libglew-dev libgl-dev libx11-dev  # the program
  libgl1-mesa-dri                                 # Mesa's software renderer
  libgtest-dev libxtst-dev libxdamage-dev         # tests: XTest input, frames counted
  libpng-dev                                      # screenshots and icons
  valgrind                                        # memcheck on the unit tests
  libbenchmark-dev                                # make bench
  xvfb metacity dbus-daemon fluxbox               # a private X server and window managers
  desktop-file-utils man-db groff-base            # checking the launcher and the man page
  appstream                                       # checking the metainfo
  dpkg-dev file                                   # the Debian package's dependencies
  lintian git                                     # checking the package, dating it
  g++-aarch64-linux-gnu                           # compiling the program for arm64
)

exec "$(dirname "$0")/install_missing.sh" "${packages[@]}"
