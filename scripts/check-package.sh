#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks a built Debian package as a distribution and a user would meet it:
# lintian, its control fields, exactly the files a user needs, the desktop
# files as installed, the manual page, and the unpacked program's window.
#   scripts/check-package.sh orvane_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."

deb=${1:?usage: check-package.sh PACKAGE.deb}
[ -f "$deb" ] || { echo "No package at $deb; build it with \`make package\`." >&2; exit 1; }
version=$(sed -n 's/^project(Orvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

# Lintian: nothing at all, not even an informational tag, so that a new
# complaint shows at once. It warns when run as root, which says nothing
# about the package.
if lintian_out=$(lintian --info --pedantic --fail-on error,warning,info,pedantic "$deb" 2>&1); then
  pass "lintian: no tag"
else
  fail "lintian:"$'\n'"$lintian_out"
fi
grep -v '^running with root privileges' <<<"$lintian_out" | grep . || true

# The control fields.
[ "$(basename "$deb")" = "orvane_${version}_$(dpkg --print-architecture).deb" ] \
  || fail "file name $(basename "$deb"), not orvane_${version}_$(dpkg --print-architecture).deb"
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
check_field Depends 'libc6 \(>= [^)]+\).*libqt6widgets6 \(>= [^)]+\).*libstdc\+\+6'

# Exactly the files a user needs: no tests, benchmarks, libraries or headers.
dpkg-deb -x "$deb" "$root"
if diff_out=$(diff -u <(grep -v "^#" packaging/package-files) <(cd "$root" && find . ! -type d | sed 's/^\.//' | LC_ALL=C sort)); then
  pass "contents: the $(grep -vc "^#" packaging/package-files) files of packaging/package-files"
else
  fail "contents differ from packaging/package-files (- expected, + in the package):"$'\n'"$diff_out"
fi

# Compressed reproducibly, as Debian wants: gzip -9 with no name or time.
for gz in usr/share/man/man1/orvane.1.gz usr/share/doc/orvane/changelog.gz; do
  [ -f "$root/$gz" ] || continue
  header=$(od -An -tx1 -N10 "$root/$gz" | tr -d ' \n')
  # Bytes 3 (flags, no file name), 4-7 (no time) and 8 (best compression).
  if [ "${header:6:10}" = "0000000000" ] && [ "${header:16:2}" = "02" ]; then
    pass "$gz: gzip -9n"
  else
    fail "$gz is not compressed with gzip -9n (header $header)"
  fi
done

if desktop-file-validate "$root/usr/share/applications/org.orvane.Orvane.desktop"; then
  pass "desktop-file-validate on the installed launcher"
else
  fail "desktop-file-validate on the installed launcher"
fi
if appstreamcli validate --no-net --strict "$root/usr/share/metainfo/org.orvane.Orvane.metainfo.xml" >"$root/as.log" 2>&1; then
  pass "appstreamcli validate --strict on the installed metainfo"
else
  fail "appstreamcli validate on the installed metainfo:"$'\n'"$(cat "$root/as.log")"
fi

# The manual page renders without warnings and says what it must.
before=$failures
page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 "$root/usr/share/man/man1/orvane.1.gz" 2>"$root/man.log" | col -b)
if [ -s "$root/man.log" ]; then fail "man reports:"$'\n'"$(cat "$root/man.log")"; fi
for must in "orvane - calculator for counting problems" "Ctrl+Enter" "15 significant digits" "32766 characters" \
            "OPTIONS" "FILES" "Orvane ${version}"; do
  grep -qF -- "$must" <<<"$(tr -s ' \n' ' ' <<<"$page")" || fail "the manual page does not say '$must'"
done
[ "$failures" -eq "$before" ] && pass "manual page renders and names the keys, limits, options and files"

# The unpacked program opens its window, whose class the launcher names.
if scripts/check-window-class.sh "$root/usr/bin/orvane" "$root/usr/share/applications/org.orvane.Orvane.desktop"; then
  pass "the unpacked program maps its window"
else
  fail "the unpacked program did not map its window as the launcher expects"
fi

if [ "$failures" -ne 0 ]; then
  echo "$deb: $failures check(s) failed." >&2
  exit 1
fi
echo "$deb: every package check passed."
