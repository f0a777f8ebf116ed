#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the Debian packages as a distribution and a user would meet them:
# the source package built with dpkg-buildpackage from a clean clone, lintian
# on all of it, a second build that must give byte-identical packages, the
# control fields, exactly the files a user needs, the desktop files and
# manual page as installed, then the package installed with apt-get, its
# autopkgtest run, and the package purged without a trace. Last, the package
# cross-built for another architecture, as Debian's builders and porters do.
#   scripts/check-package.sh [WORK-FOLDER]     (default: a temporary folder)
# ORVANE_CROSS_PACKAGE names that architecture (default arm64; empty: none).
# Installing needs root or sudo; the machine is left as it was found.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -qq)
if dpkg-query -W -f='${Status}' orvane 2>/dev/null | grep -q "install ok installed"; then
  echo "orvane is installed on this machine; remove it first (the check installs and purges it)." >&2
  exit 1
fi

work=${1:-}
[ -n "$work" ] || { work=$(mktemp -d /var/tmp/orvane-package.XXXXXX); remove_work=true; }
installed=false
cleanup() {
  if $installed; then "${apt[@]}" purge orvane >/dev/null 2>&1 || true; fi
  if [ "${remove_work:-false}" = true ]; then rm -rf "$work"; fi
}
trap cleanup EXIT
git diff --quiet HEAD 2>/dev/null || echo "Note: the package is built from the last commit; uncommitted changes are not in it." >&2

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg --print-architecture)
deb=orvane_${version}_${arch}.deb
dbgsym=orvane-dbgsym_${version}_${arch}.deb

echo "== dpkg-buildpackage -us -uc, from a clean clone"
start=$SECONDS
scripts/build-package.sh --clone "$work/first"
echo "(built in $((SECONDS - start)) s)"
for f in orvane_"$version".dsc orvane_"$version".tar.xz "$deb" "$dbgsym" orvane_"$version"_"$arch".changes; do
  [ -f "$work/first/$f" ] && pass "built $f" || fail "no $f"
done
[ "$failures" -eq 0 ] || exit 1

# No error and no warning on the source, the packages and the upload alike;
# informational and pedantic tags are shown, and the README explains any
# that stay. Lintian warns when run as root, which says nothing about us.
# The package follows the current Debian Policy, which the lintian of
# Debian 12 (2.116) does not know yet: its newer-standards-version is
# suppressed there.
lintian_version=$(lintian --version | awk '{print $2}' | sed 's/^v//')
lintian_options=(--info --pedantic --fail-on error,warning)
dpkg --compare-versions "$lintian_version" lt 2.117 && lintian_options+=(--suppress-tags newer-standards-version)
echo "== lintian $lintian_version on the .changes"
if lintian_out=$(lintian "${lintian_options[@]}" "$work/first/orvane_${version}_${arch}.changes" 2>&1); then
  pass "lintian: no error, no warning"
else
  fail "lintian:"
fi
grep -v '^running with root privileges' <<<"$lintian_out" | grep . || true

# The same tree built again with the nocheck profile, without the
# build-time tests and what only they need, must give the same bytes: the
# tests leave nothing in the packages, and nothing in them depends on
# what a build with tests has installed.
echo "== a second build, with the nocheck profile, must be identical"
DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:+$DEB_BUILD_OPTIONS }nocheck" scripts/build-package.sh --clone "$work/second" -Pnocheck
for f in "$deb" "$dbgsym"; do
  if cmp -s "$work/first/$f" "$work/second/$f"; then
    pass "$f reproducible ($(sha256sum <"$work/first/$f" | cut -c1-16))"
  else
    fail "$f differs between two builds:"$'\n'"$(diff <(dpkg-deb -c "$work/first/$f") <(dpkg-deb -c "$work/second/$f") || true)"
  fi
done

deb=$work/first/$deb
field() { dpkg-deb -f "$deb" "$1"; }
check_field() {  # NAME EXPECTED-REGEX
  if [[ "$(field "$1")" =~ $2 ]]; then pass "$1: $(field "$1")"; else fail "$1 is '$(field "$1")', expected /$2/"; fi
}
check_field Package '^orvane$'
check_field Version "^${version//./\\.}$"
check_field Section '^math$'
check_field Recommends '^qt6-wayland$'
check_field Maintainer '^[^<]+ <[^>@]+@[^>]+>$'
# Worked out by dpkg-shlibdeps: the C++ runtime and the Qt libraries the program links.
check_field Depends 'libc6 \(>= [^)]+\).*libqt6widgets6[a-z0-9]* \(>= [^)]+\).*libstdc\+\+6'
if grep -q '/usr/lib/debug/.build-id/.*\.debug$' <<<"$(dpkg-deb -c "$work/first/$dbgsym")"; then
  pass "the -dbgsym package holds the program's debugging symbols"
else
  fail "the -dbgsym package holds no .debug file"
fi

# Exactly the files a user needs: no tests, benchmarks, libraries or headers.
root=$work/unpacked
dpkg-deb -x "$deb" "$root"
if diff_out=$(diff -u <(grep -v "^#" scripts/package-contents) <(cd "$root" && find . ! -type d | sed 's/^\.//' | LC_ALL=C sort)); then
  pass "contents: the $(grep -vc "^#" scripts/package-contents) files of scripts/package-contents"
else
  fail "contents differ from scripts/package-contents (- expected, + in the package):"$'\n'"$diff_out"
fi
if desktop-file-validate "$root/usr/share/applications/org.orvane.Orvane.desktop"; then
  pass "desktop-file-validate on the installed launcher"
else
  fail "desktop-file-validate on the installed launcher"
fi
if appstreamcli validate --no-net --strict "$root/usr/share/metainfo/org.orvane.Orvane.metainfo.xml" >"$work/as.log" 2>&1; then
  pass "appstreamcli validate --strict on the installed metainfo"
else
  fail "appstreamcli validate on the installed metainfo:"$'\n'"$(cat "$work/as.log")"
fi

# The manual page renders without warnings and says what it must.
before=$failures
page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 "$root/usr/share/man/man1/orvane.1.gz" 2>"$work/man.log" | col -b)
if [ -s "$work/man.log" ]; then fail "man reports:"$'\n'"$(cat "$work/man.log")"; fi
for must in "orvane - calculator for counting problems" "Ctrl+Enter" "15 significant digits" "32766 characters" \
            "OPTIONS" "FILES" "Orvane ${version}"; do
  grep -qF -- "$must" <<<"$(tr -s ' \n' ' ' <<<"$page")" || fail "the manual page does not say '$must'"
done
[ "$failures" -eq "$before" ] && pass "manual page renders and names the keys, limits, options and files"

echo "== apt-get install, autopkgtest, purge"
installed=true
if "${apt[@]}" install "$deb" >/dev/null; then
  pass "apt-get install $(basename "$deb")"
else
  fail "apt-get install $(basename "$deb")"
fi
dpkg -L orvane >"$work/files.list"
if scripts/check-window-class.sh "$(command -v orvane)" /usr/share/applications/org.orvane.Orvane.desktop; then
  pass "the installed program maps its window as its launcher expects"
else
  fail "the installed program did not map its window as the launcher expects"
fi
if "${sudo[@]}" autopkgtest --output-dir "$work/autopkgtest" "$deb" "$work/first/orvane-$version/" -- null \
    >"$work/autopkgtest.log" 2>&1; then
  pass "autopkgtest: $(grep -E '^[a-z-]+ +PASS' "$work/autopkgtest.log" | tr -s ' ' | sort -u | paste -sd, -)"
else
  # The test's own output whole, then the end of autopkgtest's.
  fail "autopkgtest:"$'\n'"$(cat "$work/autopkgtest"/*-std* 2>/dev/null; tail -n 20 "$work/autopkgtest.log")"
fi

"${apt[@]}" purge orvane >/dev/null
installed=false
left=()
while read -r path; do
  # Directories that other packages share stay; anything of orvane's own goes.
  if [ -e "$path" ] && { [ ! -d "$path" ] || [[ "$path" == */orvane ]]; }; then left+=("$path"); fi
done <"$work/files.list"
dpkg-query -W -f='${Status}' orvane 2>/dev/null | grep -qv "not-installed" && left+=("dpkg still records orvane")
if [ ${#left[@]} -eq 0 ]; then pass "purged without a trace"; else fail "left behind: ${left[*]}"; fi

cross_arch=${ORVANE_CROSS_PACKAGE-arm64}
if [ -n "$cross_arch" ]; then
  echo "== dpkg-buildpackage -a $cross_arch -Pcross,nocheck"
  scripts/install-deps.sh cross
  start=$SECONDS
  scripts/build-package.sh --clone "$work/cross" -a "$cross_arch" -Pcross,nocheck -b
  cross_deb=$work/cross/orvane_${version}_${cross_arch}.deb
  program=$(dpkg-deb --fsys-tarfile "$cross_deb" | tar -xOf - ./usr/bin/orvane | file -b -)
  want=$(dpkg-architecture -a "$cross_arch" -q DEB_HOST_GNU_CPU 2>/dev/null)
  if [ "$(dpkg-deb -f "$cross_deb" Architecture)" = "$cross_arch" ] && [[ "$program" == *"$want"* ]]; then
    pass "cross-built $(basename "$cross_deb") in $((SECONDS - start)) s: $(cut -d, -f1,2 <<<"$program")"
  else
    fail "the cross-built $(basename "$cross_deb") holds: $program"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "The Debian package: $failures check(s) failed (files in $work)." >&2
  remove_work=false
  exit 1
fi
echo "The Debian package: every check passed."
