#!/usr/bin/env bash
# Installs the Debian packages that the web build needs, if any is missing, and with
# "test" those that its tests need too: apt-get as root, through sudo otherwise.
# Apart from tools/setup.sh, so that the desktop build and tests never need them.
set -euo pipefail

packages=(emscripten python3)                                     # make web, make web-run
if [[ ${1-} == test ]]; then
  packages+=(chromium chromium-driver python3-selenium fonts-dejavu-core)  # make test-web
fi

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
