#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates tests/common/data/profile_answers.txt: builds the probe with MinGW, runs every
# case of cases.py through Wine's profile functions in a fresh Wine prefix, and writes the
# answers. Needs the Debian packages wine64 and gcc-mingw-w64-x86-64, installed by hand: CI and
# scripts/setup.sh do not need them, since the unit tests only read the committed answers.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

wine="${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}"
x86_64-w64-mingw32-gcc -O1 -Wall -o "$work/profile_probe.exe" "$here/profile_probe.c"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all LANG=en_US.UTF-8 LC_ALL=
export WINE="$wine"
python3 "$here/generate.py" "$work/profile_probe.exe" "$root/tests/common/data/profile_answers.txt"
