#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command on a clone of this repository inside a fresh root of another
# Debian release, as a new user of that release would meet the project:
#   scripts/in-debian-root.sh SUITE [COMMAND...]     (default COMMAND: make test)
#   scripts/in-debian-root.sh SUITE --prepare        (only make or update the kept root)
# SUITE is a Debian suite name (trixie, forky, testing, ...). The root is
# made by debootstrap once and kept, with what the suite's set-up script
# installed into it, under $ORVANE_ROOT_CACHE (default /var/cache/orvane),
# outside any clone. Each run gets a throwaway copy of it (an overlay), so
# nothing a run does stays. Everything is mounted in a mount namespace of
# its own and unmounted on the way out, whatever happens.
set -euo pipefail

suite=${1:?usage: in-debian-root.sh SUITE [COMMAND...]}
shift
[ $# -gt 0 ] || set -- make test
repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${ORVANE_ROOT_CACHE:-/var/cache/orvane}
mirror=${ORVANE_DEBIAN_MIRROR:-http://deb.debian.org/debian}
base=$cache/$suite

if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Making a Debian root needs root or sudo." >&2; exit 1; }
  exec sudo --preserve-env=CI,ORVANE_ROOT_CACHE,ORVANE_DEBIAN_MIRROR "$0" "$suite" "$@"
fi
# A mount namespace of our own: no mount made here can show outside, or
# outlive the run, even if the trap below never gets to run.
if [ -z "${ORVANE_IN_NAMESPACE:-}" ]; then
  ORVANE_IN_NAMESPACE=1 exec unshare --mount --propagation private "$0" "$suite" "$@"
fi

mounted=()
# Mounts one file system under a root and remembers it for unmount_all.
mount_in() {  # ROOT TARGET MOUNT-ARGUMENTS...
  local target=$1/$2
  shift 2
  mkdir -p "$target"
  mount "$@" "$target"
  mounted+=("$target")
}
# Processes that a run left behind in its root (a D-Bus daemon, an X server)
# keep its mounts busy: they are ended first, then the mounts in reverse order.
unmount_all() {
  local root=$1 pid i
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && kill -KILL "$pid" 2>/dev/null || true
  done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount --lazy "${mounted[i]}" 2>/dev/null || true
  done
  mounted=()
}
mount_system() {  # ROOT: what programs in it expect of /proc, /sys and /dev
  mount_in "$1" proc -t proc proc
  mount_in "$1" sys -t sysfs sysfs -o ro
  mount_in "$1" dev --bind /dev
  mount_in "$1" dev/pts --bind /dev/pts
  mount_in "$1" dev/shm -t tmpfs shm -o mode=1777,nosuid,nodev
  cp /etc/resolv.conf "$1/etc/resolv.conf"
}
in_root() {  # ROOT COMMAND...: a clean login-like environment, as root
  local root=$1
  shift
  "${network[@]}" chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 CI="${CI:-}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

# Debian testing's Release file can go a while without being signed anew
# (its Valid-Until passes); its packages are still the archive's own, so a
# root of it accepts that, and says so.
apt_update() {  # ROOT
  if ! in_root "$1" apt-get -o DPkg::Lock::Timeout=600 -qq update 2>"$1/tmp/apt-update.log"; then
    cat "$1/tmp/apt-update.log" >&2
    grep -q 'is expired' "$1/tmp/apt-update.log" || return 1
    echo "Note: the $suite archive's Release file has expired; this root accepts it." >&2
    echo 'Acquire::Check-Valid-Until "false";' >"$1/etc/apt/apt.conf.d/99orvane-expired-release"
    in_root "$1" apt-get -o DPkg::Lock::Timeout=600 -qq update
  fi
}

# Preparing the root reaches the archive; the run itself gets a network of
# its own with loopback alone (below).
network=()
work=""
cleanup() {
  [ -n "$work" ] && unmount_all "$work/root"
  [ -n "$work" ] && rm -rf --one-file-system "$work"
  [ -d "$base.new" ] && rm -rf --one-file-system "$base.new"
  true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$cache"
exec 9>"$cache/$suite.lock"
flock 9

# The release itself, once: git and make are all a new user starts with.
if [ ! -e "$base/.orvane-complete" ]; then
  command -v debootstrap >/dev/null || "$repo/scripts/install-deps.sh" test
  rm -rf --one-file-system "$base" "$base.new"
  echo "Making a Debian $suite root in $base (debootstrap)"
  script=/usr/share/debootstrap/scripts/$suite
  [ -e "$script" ] || script=/usr/share/debootstrap/scripts/sid  # a suite newer than this debootstrap
  debootstrap --variant=minbase --include=git,make,ca-certificates "$suite" "$base.new" "$mirror" "$script" \
    >"$cache/$suite.debootstrap.log" 2>&1 || { tail -n 30 "$cache/$suite.debootstrap.log" >&2; exit 1; }
  echo "deb $mirror $suite main" >"$base.new/etc/apt/sources.list"
  # The lists are fetched again below, through the same checks as every day's.
  rm -f "$base.new"/var/lib/apt/lists/*_Packages*
  mv "$base.new" "$base"
  touch "$base/.orvane-complete"
fi

# The kept root gets what this tree's set-up script installs (nothing when
# it has it all), and the suite's updates once a day.
work=$(mktemp -d /var/tmp/orvane-root.XXXXXX)
mkdir -p "$work/root"
mount_in "$work" root --bind "$base"
mount_system "$work/root"
if [ -z "$(find "$base/var/lib/apt/lists" -maxdepth 1 -name '*Packages*' -mmin -1440 2>/dev/null)" ]; then
  echo "Updating the Debian $suite root"
  apt_update "$work/root"
  DEBIAN_FRONTEND=noninteractive in_root "$work/root" apt-get -qq -y dist-upgrade >/dev/null
fi
rm -rf "$work/root/var/tmp/orvane-setup"
git clone --quiet "$repo" "$work/root/var/tmp/orvane-setup"
in_root "$work/root" bash -c 'cd /var/tmp/orvane-setup && scripts/install-deps.sh test && apt-get clean'
rm -rf "$work/root/var/tmp/orvane-setup"
unmount_all "$work/root"

[ "$*" = --prepare ] && exit 0

# A throwaway copy of the kept root: the run writes only to the upper layer.
mkdir -p "$work/upper" "$work/overlay-work"
mount_in "$work" root -t overlay overlay \
  -o "lowerdir=$base,upperdir=$work/upper,workdir=$work/overlay-work"
mount_system "$work/root"
git clone --quiet "$repo" "$work/root/root/orvane"
git -C "$repo" diff --quiet HEAD 2>/dev/null \
  || echo "Note: the Debian $suite root runs the committed tree; uncommitted changes are not in it." >&2
echo "Debian $(cat "$work/root/etc/debian_version") ($suite) root: $*"
# An X server picks its display by the lock files in /tmp and listens on a
# socket file there and on an abstract socket of the same name. The root has
# a /tmp of its own but shares the machine's abstract sockets, which belong
# to a network namespace: a server in the root picks its display blind to
# the machine's servers, and a client, which tries the abstract socket
# first, can reach one of those instead of its own (and fail for want of
# its key). D-Bus listens on abstract sockets too. In a network namespace of
# its own, with loopback alone, the run meets none of the machine's; it
# needs no archive, as the root was given what it needs above.
network=(unshare --net sh -c 'ip link set lo up && exec "$@"' private-network)
in_root "$work/root" bash -c 'cd /root/orvane && exec "$@"' run "$@"
