#!/usr/bin/env bash
# Builds the Debian package, holds it to lintian (no error, no warning), and plays it
# as a player would: installs it with apt, checks that the installed
# /usr/games/knotwerry is hardened, runs it on a private X
# server to its first frame and ESCAPE (snap fails unless it sees both and status 0),
# then removes it again and checks that nothing of it is left. As root, or through
# sudo otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

make build package
shopt -s nullglob
packages=(build/knotwerry_*.deb)
if [[ ${#packages[@]} -ne 1 ]]; then
  echo "package_check: expected one build/knotwerry_*.deb, found ${#packages[@]}" >&2
  exit 1
fi
package=${packages[0]}

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive

# Whatever happens, the machine is left without the package.
installed=false
cleanup() {
  if $installed; then
    "${sudo[@]}" apt-get remove -y knotwerry >/dev/null || true
  fi
}
trap cleanup EXIT

echo "== $package"
dpkg-deb --field "$package" Package Version Section Depends
echo "== lintian"
lintian --fail-on error,warning "$package"
"${sudo[@]}" apt-get install -y "./$package"
installed=true
[[ $(dpkg-query -W -f='${Status}' knotwerry) == "install ok installed" ]]
for file in /usr/games/knotwerry /usr/share/applications/io.github.knotwerry.knotwerry.desktop \
            /usr/share/metainfo/io.github.knotwerry.knotwerry.metainfo.xml \
            /usr/share/doc/knotwerry/{changelog.gz,copyright} \
            /usr/share/icons/hicolor/{48x48,128x128,256x256}/apps/knotwerry.png \
            /usr/share/man/man6/knotwerry.6.gz; do
  if [[ ! -f $file ]]; then
    echo "package_check: $file is not installed" >&2
    exit 1
  fi
done

echo "== checking /usr/games/knotwerry"
tools/binary_check.sh /usr/games/knotwerry build/package

echo "== running /usr/games/knotwerry"
build/tools/snap build/package-first-frame.png /usr/games/knotwerry

echo "== removing"
"${sudo[@]}" apt-get remove -y knotwerry
installed=false
if [[ -e /usr/games/knotwerry ]]; then
  echo "package_check: /usr/games/knotwerry is still there after removal" >&2
  exit 1
fi
if dpkg-query -W -f='${Status}' knotwerry 2>/dev/null | grep -q ' installed$'; then
  echo "package_check: dpkg still lists knotwerry as installed" >&2
  exit 1
fi
echo "package_check: installed, ran to the first frame and ESCAPE, removed"
