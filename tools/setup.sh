#!/usr/bin/env bash
# Installs the Debian packages that building, playing and testing need, if any is
# missing: apt-get as root, through sudo otherwise.
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
