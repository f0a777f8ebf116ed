#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the package on this machine with apt-get, opens the installed
# program's window, shows its manual page, then purges the package and checks
# that nothing of it is left. Changes the system: run it by hand, as root or
# with sudo, on a machine where that is fine; `make test` does not run it.
#   scripts/check-install.sh orvane_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."

deb=${1:?usage: check-install.sh PACKAGE.deb}
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if dpkg-query -W -f='${Status}' orvane 2>/dev/null | grep -q "install ok installed"; then
  echo "orvane is installed already; remove it first." >&2
  exit 1
fi

list=$(mktemp)
trap 'rm -f "$list"' EXIT

echo "== apt-get install $deb"
# apt-get takes a local file only as a path.
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "$(realpath "$deb")"
dpkg -L orvane | tee "$list"

echo "== the installed program, from the shell's path, with the installed launcher"
command -v orvane
scripts/check-window-class.sh "$(command -v orvane)" /usr/share/applications/org.orvane.Orvane.desktop

echo "== man orvane"
MANWIDTH=80 MANPAGER=cat man orvane | head -n 12

echo "== apt-get remove --purge orvane"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y --purge orvane
left=()
while read -r path; do
  # Directories that other packages share stay; anything of orvane's own goes.
  if [ -e "$path" ] && { [ ! -d "$path" ] || [[ "$path" == */orvane ]]; }; then left+=("$path"); fi
done <"$list"
if dpkg-query -W orvane >/dev/null 2>&1 && dpkg-query -W -f='${Status}' orvane | grep -qv "not-installed"; then
  left+=("dpkg still records orvane: $(dpkg-query -W -f='${Status}' orvane)")
fi
found=$(find /usr /etc /var/lib/dpkg/info -xdev -iname '*orvane*' 2>/dev/null || true)
if [ ${#left[@]} -ne 0 ] || [ -n "$found" ]; then
  echo "Left behind:" "${left[@]}" $found >&2
  exit 1
fi
echo "Installed, opened, documented and purged without a trace."
