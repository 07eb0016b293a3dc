#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up and runs every test: the format check, the licence check (every file
# carries its copyright and licence lines: `reuse lint`), a short run of each fuzz target under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the unit, window and end-to-end tests
# under CTest.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

echo "== format check"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

echo "== licence check"
reuse lint

echo "== fuzz targets (short run)"
scripts/fuzz.sh "${KESTREL_FUZZ_SECONDS:-10}"

echo "== build"
cmake --preset dev
cmake --build --preset dev

echo "== tests"
ctest --preset dev
