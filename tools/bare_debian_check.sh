#!/usr/bin/env bash
# bare_debian_check.sh [ROOT]: builds and plays this tree on a bare Debian 12, as a new
# player or a packager would meet it, in a minimal Debian made by debootstrap in ROOT
# (build/bare-debian unless told). As root.
#
# 1. With only g++, make, cmake and the program's own libraries installed, a plain
#    `cmake -S . -B b && cmake --build b` must build the program.
# 2. Then `make run`, with no display, must install only what playing needs (none of the
#    packages that tools/setup.sh names for the tests, the package or the ports) and
#    save the headless screenshot, an 800 x 800 PNG, with the program ended on ESCAPE.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(realpath -m "${1:-build/bare-debian}")
suite=bookworm

if [[ $(id -u) -ne 0 ]]; then
  echo "bare_debian_check: debootstrap and chroot need root" >&2
  exit 1
fi
tools/install_missing.sh debootstrap

# The archive this machine installs from, and its list of sources for the new system.
mirror=$(apt-cache policy libc6 | awk '$1 ~ /^[0-9]+$/ && $2 ~ /^https?:/ { print $2; exit }')
if [[ -z $mirror ]]; then
  echo "bare_debian_check: no archive for libc6 in apt's sources" >&2
  exit 1
fi

mounted=()
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -l "${mounted[i]}" 2>/dev/null || true
  done
}
trap cleanup EXIT

rm -rf "$root"
mkdir -p "$(dirname "$root")"
echo "== debootstrap --variant=minbase $suite from $mirror"
debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$root.log" 2>&1 ||
  { tail -20 "$root.log"; exit 1; }
for dir in proc sys dev dev/shm; do
  mkdir -p "$root/$dir"
  mount --bind "/$dir" "$root/$dir"
  mounted+=("$root/$dir")
done
cp /etc/resolv.conf "$root/etc/resolv.conf"
rm -f "$root/etc/apt/sources.list"
[[ -f /etc/apt/sources.list ]] && cp /etc/apt/sources.list "$root/etc/apt/"
cp -r /etc/apt/sources.list.d "$root/etc/apt/"
find "$root/etc/apt/sources.list.d" -type f ! -name '*.list' ! -name '*.sources' -delete

# The tree as it stands, every tracked file, without the build.
mkdir -p "$root/src"
git ls-files -z | tar --null -T - -cf - | tar -xf - -C "$root/src"

inside() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
                  DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 bash -euo pipefail -c "$1"; }
installed() { inside "dpkg-query -W -f='\${Package} \${Status}\n' | awk '\$NF == \"installed\" { print \$1 }' | sort"; }

echo "== installing only g++, make, cmake and the program's libraries"
inside "apt-get update -qq && apt-get install -y -qq g++ make cmake \
          freeglut3-dev libglew-dev libgl-dev libx11-dev >/dev/null"
installed >"$root.before"

echo "== cmake -S . -B b && cmake --build b"
inside "cd /src && cmake -S . -B b && cmake --build b -j$(nproc)"
inside "test -x /src/b/knotwerry"

echo "== make run, with no display"
inside "cd /src && unset DISPLAY && make run"
installed >"$root.after"

added=$(comm -13 "$root.before" "$root.after")
echo "make run installed:" $added
others=$(tools/setup.sh --list test package arm64 web web-test windows windows-test | sort -u)
playing=$(tools/setup.sh --list play | sort -u)
forbidden=$(comm -23 <(echo "$others") <(echo "$playing"))
wrong=$(comm -12 <(echo "$added" | sort -u) <(echo "$forbidden") | xargs)
if [[ -n $wrong ]]; then
  echo "bare_debian_check: make run installed what playing does not need: $wrong" >&2
  exit 1
fi

shot=$root/src/build/screenshot.png
# A PNG's signature, then its IHDR: width and height as 32-bit big-endian numbers.
header=$(od -An -tx1 -N24 "$shot" 2>/dev/null | xargs)
if [[ $header != "89 50 4e 47 0d 0a 1a 0a 00 00 00 0d 49 48 44 52 00 00 03 20 00 00 03 20" ]]; then
  echo "bare_debian_check: build/screenshot.png is not an 800 x 800 PNG (header: $header)" >&2
  exit 1
fi
echo "bare_debian_check: a plain CMake build works with only the program's libraries;" \
     "make run installed none of the test, package or port tools and saved an 800 x 800 screenshot"
