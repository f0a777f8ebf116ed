#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that Orvane needs, in steps:
#   scripts/install-deps.sh run      building and running the program (make run)
#   scripts/install-deps.sh package  the above, and making the Debian package (make package)
#   scripts/install-deps.sh test     everything, every test included (make test; the default)
# Quiet and quick when everything is already there; works as root or via sudo.
set -euo pipefail

step=${1:-test}

run=(
  cmake make g++ pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-wayland fonts-dejavu-core
)
package=(
  "${run[@]}"
  dpkg-dev file
)
test=(
  "${package[@]}"
  python3 libgtest-dev libbenchmark-dev
  xvfb xauth x11-utils x11-apps imagemagick
  desktop-file-utils appstream lintian fakeroot man-db
  clang libclang-rt-14-dev
  qt6-gtk-platformtheme at-spi2-core python3-pyatspi gir1.2-atspi-2.0 python3-gi dbus-x11
)

case $step in
  run) packages=("${run[@]}") ;;
  package) packages=("${package[@]}") ;;
  test) packages=("${test[@]}") ;;
  *) echo "usage: install-deps.sh [run|package|test]" >&2; exit 2 ;;
esac

if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
  echo "No apt-get here: install by hand what the README's set-up section lists for '$step'." >&2
  exit 0
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
