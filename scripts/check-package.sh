#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Checks a built kestrel .deb: lintian reports no error and no warning (tags the package's
# overrides explain are allowed), and the package holds what an installation needs.
set -euo pipefail
deb="$1"

echo "== lintian $deb"
report=$(lintian --fail-on none --tag-display-limit 0 "$deb" 2>&1 || true)
[ -z "$report" ] || echo "$report"
if echo "$report" | grep -E '^[EW]: '; then
    echo "package: lintian reports the errors or warnings above" >&2
    exit 1
fi

echo "== contents"
contents=$(dpkg-deb --contents "$deb" | awk '{ print $6 }')
for file in ./usr/bin/kestrel ./usr/bin/kestrel-saver ./usr/share/kestrel/Kestrel.HLP \
    ./usr/share/applications/kestrel.desktop ./usr/share/metainfo/org.kestrel_countdown.kestrel.metainfo.xml \
    ./usr/share/man/man1/kestrel.1.gz ./usr/share/man/man1/kestrel-saver.1.gz \
    ./usr/share/icons/hicolor/scalable/apps/kestrel.svg ./usr/share/icons/hicolor/48x48/apps/kestrel.png \
    ./usr/share/icons/hicolor/256x256/apps/kestrel.png ./usr/share/doc/kestrel/copyright \
    ./usr/share/xscreensaver/config/kestrel-saver.xml; do
    echo "$contents" | grep -qxF "$file" || { echo "package: $file is missing" >&2; exit 1; }
done
if echo "$contents" | grep -q '^./usr/bin/Kestrel.HLP$'; then
    echo "package: the help file is in bin/" >&2
    exit 1
fi
echo "package: $deb passes"
