#!/usr/bin/env bash
# setup.sh [--list] ROLE...: installs the Debian packages that each ROLE needs, those
# that are missing (tools/install_missing.sh), or with --list only prints their names.
# Each make target names the roles it needs, so that playing installs only what playing
# needs:
#   play      build and play: the compiler, CMake, the program's libraries, Mesa's
#             software renderer, and for the headless path a private X server and the
#             screenshot tool's three libraries
#   test      make test and make bench: GoogleTest, valgrind, Google Benchmark,
#             window managers, and the checkers of the desktop's files
#   package   the Debian package and its checks
#   arm64     compiling the program for arm64
#   web       the web page: Emscripten
#   web-test  playing the page in Chromium and Firefox
#   windows   the Windows build: mingw-w64 and NSIS (and dpkg-dev for the sources of
#             freeglut and GLEW)
#   windows-test  running it under Wine
set -euo pipefail

list=false
if [[ ${1-} == --list ]]; then
  list=true
  shift
fi
packages=()
for role in "$@"; do
  case $role in
    play) packages+=(
      make cmake g++                                  # build
      freeglut3-dev libglew-dev libgl-dev libx11-dev  # the program
      libgl1-mesa-dri                                 # Mesa's software renderer
      xvfb libxtst-dev libxdamage-dev libpng-dev      # headless: Xvfb; snap's XTest,
                                                      # XDamage and PNG
    ) ;;
    test) packages+=(
      libgtest-dev                                    # the tests
      valgrind                                        # memcheck on the unit tests
      libbenchmark-dev                                # make bench
      metacity dbus-daemon fluxbox                    # window managers
      desktop-file-utils man-db groff-base appstream  # checking the desktop's files
      git                                             # the tests date the build by it
    ) ;;
    package) packages+=(
      dpkg-dev file                                   # hardening flags, dependencies
      lintian git                                     # checking the package, dating it
    ) ;;
    arm64) packages+=(g++-aarch64-linux-gnu dpkg-dev) ;;
    web) packages+=(emscripten python3) ;;
    web-test) packages+=(                            # Chromium over its DevTools protocol,
      chromium firefox-esr python3-websocket         # Firefox over WebDriver BiDi on a
      xvfb fonts-dejavu-core                         # private Xvfb
    ) ;;
    windows) packages+=(
      g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64  # the cross-compiler and objdump
      dpkg-dev                                        # apt-get source unpacks with dpkg-source
      nsis                                            # the installer
    ) ;;
    windows-test) packages+=(wine64 wine libgtest-dev) ;;
    *) echo "setup.sh: no role $role (see the top of $0)" >&2; exit 2 ;;
  esac
done

if $list; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi
exec "$(dirname "$0")/install_missing.sh" "${packages[@]}"
