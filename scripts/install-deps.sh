#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that Orvane needs, in steps:
#   scripts/install-deps.sh run      building and running the program (make run)
#   scripts/install-deps.sh package  the above, and building the Debian package (make package)
#   scripts/install-deps.sh test     everything, every test included (make test; the default)
#   scripts/install-deps.sh cross    the other processors' stage of make test: Debian's cross
#                                    compilers, qemu-user, and arm64 as a foreign architecture
#                                    with what cross-building the package for it needs
# The same names serve Debian 12 and Debian 13 (and testing); what building
# the package needs is read from debian/control by `apt-get build-dep`.
# Quiet and quick when everything is already there; works as root or via sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

step=${1:-test}

run=(
  cmake make g++ pkg-config
  qt6-base-dev libxcb1-dev qt6-wayland fonts-dejavu-core
)
package=(
  "${run[@]}"
  dpkg-dev debhelper git file
)
test=(
  "${package[@]}"
  python3 libgtest-dev libbenchmark-dev valgrind
  xvfb xauth x11-utils x11-apps imagemagick
  desktop-file-utils appstream lintian autopkgtest man-db
  clang libclang-rt-dev
  qt6-gtk-platformtheme at-spi2-core python3-pyatspi gir1.2-atspi-2.0 python3-gi dbus-x11
  # The screen reader and the real-X input tests: a window manager to give
  # focus, synthetic keys and the clipboard.
  orca openbox xdotool xclip
  # The Debian 13 root's run gets a network of its own (in-debian-root.sh).
  iproute2
  # A fresh root of the other Debian release for `make test-debian13`.
  debootstrap
)

# 32-bit x86, 32-bit ARM and big-endian s390x for the engine; arm64 for the
# package, whose cross-build also needs its build dependencies for arm64.
cross=(
  "${package[@]}"
  python3 libgtest-dev qemu-user-static
  g++-i686-linux-gnu g++-arm-linux-gnueabihf g++-s390x-linux-gnu crossbuild-essential-arm64
)
cross_arch=arm64

case $step in
  run) packages=("${run[@]}") ;;
  package) packages=("${package[@]}") ;;
  test) packages=("${test[@]}") ;;
  cross) packages=("${cross[@]}") ;;
  *) echo "usage: install-deps.sh [run|package|test|cross]" >&2; exit 2 ;;
esac

if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
  echo "No apt-get here: install by hand what the README's set-up section lists for '$step'." >&2
  exit 0
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# What the source package's build needs, as debian/control says.
build_deps_missing=false
if [ "$step" != run ] && ! { command -v dpkg-checkbuilddeps >/dev/null && dpkg-checkbuilddeps 2>/dev/null; }; then
  build_deps_missing=true
fi
cross_build_deps() { dpkg-checkbuilddeps -a "$cross_arch" -P cross,nocheck 2>/dev/null; }
if [ "$step" = cross ] && ! { command -v dpkg-checkbuilddeps >/dev/null && cross_build_deps; }; then
  build_deps_missing=true
fi
[ ${#missing[@]} -eq 0 ] && ! $build_deps_missing && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
# Another apt run on the machine holds the lock for a while; wait for it.
apt=("${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 -y -qq)
if [ "$step" = cross ] && ! dpkg --print-foreign-architectures | grep -qx "$cross_arch"; then
  echo "Adding $cross_arch as a foreign architecture (dpkg --add-architecture)"
  "${sudo[@]}" dpkg --add-architecture "$cross_arch"
fi
"${apt[@]}" update
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${apt[@]}" install --no-install-recommends "${missing[@]}" >/dev/null
fi
if $build_deps_missing || ! dpkg-checkbuilddeps 2>/dev/null; then
  echo "Installing the build dependencies of debian/control"
  "${apt[@]}" build-dep --no-install-recommends ./ >/dev/null
fi
if [ "$step" = cross ] && ! cross_build_deps; then
  echo "Installing the build dependencies of debian/control for $cross_arch"
  "${apt[@]}" build-dep --no-install-recommends -a "$cross_arch" -P cross,nocheck ./ >/dev/null
fi
