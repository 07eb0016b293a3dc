#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# and runs each for the given number of seconds (default 60), starting from the seed inputs in
# fuzz/corpus/NAME. Fails on the first crash or sanitizer report. The targets are those
# fuzz/CMakeLists.txt adds: the build lists them in build/fuzz/fuzz/targets.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

cmake --preset fuzz -DCMAKE_COMPILE_WARNING_AS_ERROR="${KESTREL_WERROR:-OFF}" >/dev/null
cmake --build --preset fuzz

mapfile -t targets <build/fuzz/fuzz/targets.txt
if [ "${#targets[@]}" -eq 0 ]; then
    echo "fuzz: no targets in build/fuzz/fuzz/targets.txt" >&2
    exit 1
fi
for target in "${targets[@]}"; do
    work="build/fuzz/corpus/$target"
    mkdir -p "fuzz/corpus/$target"
    mkdir -p "$work"
    echo "fuzz: $target for ${seconds}s"
    log="build/fuzz/$target.log"
    if ! "build/fuzz/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "fuzz: $target failed (log: $log)" >&2
        exit 1
    fi
    grep -E "^(stat::number_of_executed_units|Done)" "$log" || true
done
