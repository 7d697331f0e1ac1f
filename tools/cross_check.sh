#!/usr/bin/env bash
# cross_check.sh [ARCH]: compiles the program's sources for another Debian architecture
# (arm64 unless told) with Debian's cross compiler and the flags dpkg-buildflags gives
# that architecture for hardening=+all, as a Debian build there would, so that a flag
# the architecture lacks shows here first. The point table is embedded by embed_table
# built for this machine, the one the build runs on. Objects only: linking would need
# the other architecture's libraries.
set -euo pipefail
cd "$(dirname "$0")/.."

arch=${1:-arm64}
tools/setup.sh "$arch"
triplet=$(dpkg-architecture -a "$arch" -qDEB_HOST_GNU_TYPE 2>/dev/null)
compiler=$triplet-g++
work=build/cross-$arch
mkdir -p "$work/generated"

# The build machine's own tool, then the table it writes.
g++ -std=c++17 -O2 -o "$work/embed_table" tools/embed_table.cpp
"$work/embed_table" grid/data/knot.bin "$work/generated/knot_table.inc"

flags() {
  DEB_HOST_ARCH=$arch DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"
}
read -ra cppflags <<<"$(flags CPPFLAGS)"
read -ra cxxflags <<<"$(flags CXXFLAGS)"
werror=()
[[ -n ${CI:-} ]] && werror=(-Werror)
echo "== $compiler ${cppflags[*]} ${cxxflags[*]}"

# The program's sources, as the native build (make build) compiles them. The headers of
# GL, GLUT, GLEW and X11 are the same for every architecture; the cross compiler's own
# C and C++ headers come first.
commands=build/compile_commands.json
if [[ ! -f $commands ]]; then
  echo "cross_check: no $commands; make build first" >&2
  exit 1
fi
mapfile -t sources < <(sed -n 's#^ *"file": *"'"$PWD"'/\(\(app\|grid\|view\|input\|platform\)/[^/"]*\.cpp\)".*#\1#p' \
                         "$commands" | sort -u)
if [[ ${#sources[@]} -eq 0 ]]; then
  echo "cross_check: no program source in $commands" >&2
  exit 1
fi
for source in "${sources[@]}"; do
  object=$work/$(basename "$source" .cpp).o
  "$compiler" "${cppflags[@]}" "${cxxflags[@]}" -std=c++17 -fPIE -Wall -Wextra -Wpedantic \
    -Wshadow "${werror[@]}" -I. -I"$work/generated" -idirafter /usr/include \
    -c "$source" -o "$object"
  machine=$(readelf -h "$object" | sed -n 's/^ *Machine: *//p')
  printf '%-24s %s\n' "$source" "$machine"
  if [[ $arch == arm64 && $machine != AArch64 ]]; then
    echo "cross_check: $object is not an AArch64 object" >&2
    exit 1
  fi
done
echo "cross_check: the program's sources compile for $arch"
