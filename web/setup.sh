#!/usr/bin/env bash
# Installs the Debian packages that the web build needs, if any is missing, and with
# "test" those that its tests need too (tools/install_missing.sh).
# Apart from tools/setup.sh, so that the desktop build and tests never need them.
set -euo pipefail

packages=(emscripten python3)                                     # make web, make web-run
if [[ ${1-} == test ]]; then
  # make test-web: Chromium over its DevTools protocol, Firefox over WebDriver BiDi on
  # a private Xvfb, both through python3-websocket.
  packages+=(chromium firefox-esr python3-websocket xvfb fonts-dejavu-core)
fi

exec "$(dirname "$0")/../tools/install_missing.sh" "${packages[@]}"
