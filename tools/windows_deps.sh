#!/usr/bin/env bash
# windows_deps.sh PREFIX: freeglut and GLEW for Windows, cross-built static with
# mingw-w64 from Debian's own source packages, installed into PREFIX (include/, lib/).
# Debian ships no mingw build of either, so the sources come through apt-get source,
# with a private list of sources beside PREFIX: the machine's apt set-up is left alone.
# The versions are pinned; a PREFIX that holds them already is left as it is.
set -euo pipefail

freeglut_version=3.4.0-1
glew_version=2.2.0-4

prefix=$(realpath -m "$1")
work=$prefix.work
here=$(cd "$(dirname "$0")/.." && pwd)
toolchain=$here/windows/mingw-w64.cmake
stamp=$prefix/versions
wanted="freeglut $freeglut_version, glew $glew_version"

if [[ -f $stamp && $(cat "$stamp") == "$wanted" ]]; then
  exit 0
fi
rm -rf "$prefix" "$work"
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/src"

# The same archive the machine installs freeglut from, as a deb-src entry.
read -r uri suite < <(apt-cache policy freeglut3-dev |
  awk '$1 ~ /^[0-9]+$/ && $2 ~ /^https?:/ { split($3, s, "/"); print $2, s[1]; exit }')
if [[ -z ${uri:-} ]]; then
  echo "windows_deps: no archive for freeglut3-dev in apt's sources" >&2
  exit 1
fi
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri $suite main" \
  >"$work/apt/sources.list"
apt_private=(
  -o "Dir::Etc::SourceList=$work/apt/sources.list"
  -o "Dir::Etc::SourceParts=$work/apt/sources.list.d"
  -o "Dir::State::Lists=$work/apt/lists"
  -o "Dir::Cache=$work/apt/cache"
  -o "Debug::NoLocking=1"
  -o "APT::Sandbox::User=root"
)
apt-get "${apt_private[@]}" -qq update
(cd "$work/src" && apt-get "${apt_private[@]}" -qq source --only-source \
  "freeglut=$freeglut_version" "glew=$glew_version" >/dev/null)

freeglut_src=$(find "$work/src" -maxdepth 1 -type d -name 'freeglut-*' | head -1)
glew_src=$(find "$work/src" -maxdepth 1 -type d -name 'glew-*' | head -1)

# freeglut: static, with GL/glut.h, no demos.
cmake -S "$freeglut_src" -B "$work/freeglut-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON \
  -DFREEGLUT_REPLACE_GLUT=ON -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_GLES=OFF >/dev/null
cmake --build "$work/freeglut-build" -j"$(nproc)" >/dev/null
cmake --install "$work/freeglut-build" >/dev/null

# GLEW: static (GLEW_STATIC in its users), no utilities.
cmake -S "$glew_src/build/cmake" -B "$work/glew-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_UTILS=OFF -Dglew-cmake_BUILD_SHARED=OFF >/dev/null
cmake --build "$work/glew-build" -j"$(nproc)" >/dev/null
cmake --install "$work/glew-build" >/dev/null

echo "$wanted" >"$stamp"
rm -rf "$work"
echo "windows_deps: $wanted in $prefix"
