#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The status-line call against date(1), measured side by side; replaces the section
# "Status line against date" of bench/RESULTS.md (bench/run.sh calls it after its own runs).
# BUILD names the build folder (default build/release); KESTREL_BENCH_STATUS_ROUNDS the calls
# of each command (default 400).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD:-build/release}"
if [ "$build" == build/release ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target kestrel-status >/dev/null
fi
# kestrel's own hand-over is timed too when that build holds it (bench/run.sh builds it).
kestrel=()
[ -x "$build/exe/kestrel" ] && kestrel=("$build/exe/kestrel")

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
mkdir -p "$XDG_CONFIG_HOME/kestrel"
printf '[Target Date]\nTarget_Year=2000\nTarget_Month=1\nTarget_Day=1\nTarget_Type=Days\nCaption_option=yy:dd:hh:mm:ss\n' \
    >"$XDG_CONFIG_HOME/kestrel/KESTREL.INI"

section=$(python3 bench/bench_status.py "${KESTREL_BENCH_STATUS_ROUNDS:-400}" \
    "$build/exe/kestrel-status" "${kestrel[@]}")
python3 bench/replace_section.py "$section"
echo "$section"
