#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up and runs every test: the format check, the licence check (every file
# carries its copyright and licence lines: `reuse lint`), a short run of each fuzz target under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the unit, window and end-to-end tests
# under CTest.
#
# Settings through the environment (.ci/run sets the strict ones):
#   KESTREL_FUZZ_SECONDS  how long each fuzz target runs (default 10)
#   KESTREL_WERROR=ON     every compiler warning fails the build
#   KESTREL_ASAN=ON       the unit and window tests also run built with the Address, Undefined
#                         Behavior and Leak sanitizers (the `asan` preset)
set -euo pipefail
cd "$(dirname "$0")/.."
werror="${KESTREL_WERROR:-OFF}"

scripts/setup.sh

echo "== format check"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

echo "== licence check"
reuse lint

echo "== fuzz targets (short run)"
scripts/fuzz.sh "${KESTREL_FUZZ_SECONDS:-10}"

echo "== build"
cmake --preset dev -DCMAKE_COMPILE_WARNING_AS_ERROR="$werror"
cmake --build --preset dev

echo "== tests"
ctest --preset dev

if [ "${KESTREL_ASAN:-OFF}" == ON ]; then
    # Only the test programs are built (the target test_programs names every one): the end-to-end
    # tests stay with the dev build (the preset leaves them out), so the programs themselves are
    # not needed here.
    echo "== unit and window tests under the sanitizers"
    cmake --preset asan -DCMAKE_COMPILE_WARNING_AS_ERROR="$werror"
    cmake --build --preset asan --target test_programs
    ctest --preset asan
fi
