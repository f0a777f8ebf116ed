#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Puts a packager's own addresses in place of the placeholders under the
# reserved .invalid domain, in a copy of the tree that is about to be built:
#   ORVANE_MAINTAINER="Name <mail>" ORVANE_HOMEPAGE=https://... scripts/set-addresses.sh TREE
# Either may be left unset (the placeholder stays). The maintainer goes into
# debian/control, the newest changelog entry and debian/copyright; the
# homepage into debian/control and the AppStream metainfo.
set -euo pipefail
tree=${1:?usage: set-addresses.sh TREE}
maintainer=${ORVANE_MAINTAINER:-}
homepage=${ORVANE_HOMEPAGE:-}

# Values go into sed replacements: & and the delimiter must be escaped.
escape() { sed -e 's/[&|\\]/\\&/g' <<<"$1"; }

if [ -n "$maintainer" ]; then
  [[ "$maintainer" =~ ^[^\<\>]+\ \<[^\<\>@\ ]+@[^\<\>\ ]+\>$ ]] \
    || { echo "ORVANE_MAINTAINER must read 'Name <address>', not '$maintainer'" >&2; exit 1; }
  m=$(escape "$maintainer")
  sed -i "s|^Maintainer: .*|Maintainer: $m|" "$tree/debian/control"
  sed -i "s|^Upstream-Contact: .*|Upstream-Contact: $m|" "$tree/debian/copyright"
  # Only the newest entry's trailer: it names who made this build's entry.
  sed -i "0,/^ -- .*>  /s|^ -- .*>  | -- $m  |" "$tree/debian/changelog"
fi
if [ -n "$homepage" ]; then
  [[ "$homepage" =~ ^https?://[^\ \<\>\"]+$ ]] \
    || { echo "ORVANE_HOMEPAGE must be an http(s) address, not '$homepage'" >&2; exit 1; }
  h=$(escape "$homepage")
  sed -i "s|^Homepage: .*|Homepage: $h|" "$tree/debian/control"
  hx=$(escape "${homepage//&/&amp;}")  # an XML text
  sed -i "s|<url type=\"homepage\">[^<]*</url>|<url type=\"homepage\">$hx</url>|" \
    "$tree/app/org.orvane.Orvane.metainfo.xml"
fi
