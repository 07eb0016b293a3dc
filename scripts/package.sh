#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds the Debian package build/package/kestrel_<version>_amd64.deb with CPack from an
# optimised, hardened build, then checks it: lintian with no error and no warning (the package's
# overrides say why each remaining tag is right), and its files are where they belong.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset package -DCMAKE_COMPILE_WARNING_AS_ERROR="${KESTREL_WERROR:-OFF}" >/dev/null
cmake --build --preset package
cpack --preset package

version=$(sed -n 's/^project(Kestrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="build/package/kestrel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "package: $deb was not built" >&2; exit 1; }
echo "package: $deb"

scripts/check-package.sh "$deb"
