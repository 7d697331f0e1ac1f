#!/usr/bin/env bash
# wine_prefix.sh PREFIX: a fresh Wine prefix whose programs all open in one virtual
# desktop of 1280 x 1024, the only place where Wine draws Windows' own window frames
# (under an X window manager it hands the frame to the manager instead).
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all
# Wine would add menu entries and icons to the machine's own desktop for what it installs.
export WINEDLLOVERRIDES=winemenubuilder.exe=d
unset DISPLAY
wineserver -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1 || true
wineserver -w
grep -q '"Desktop"="Default"' "$WINEPREFIX/user.reg"
grep -q '"Default"="1280x1024"' "$WINEPREFIX/user.reg"
