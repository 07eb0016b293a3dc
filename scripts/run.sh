#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up, builds and runs kestrel. Without a display it runs kestrel under
# xvfb-run for a few seconds, saves a screenshot and says where it is.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target kestrel kestrel-saver

program="build/release/exe/kestrel"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program" "$@"
fi

shot="${KESTREL_SHOT:-$PWD/build/kestrel-screenshot.png}"
echo "run: no display (neither DISPLAY nor WAYLAND_DISPLAY is set);"
echo "run: running kestrel under xvfb-run for a few seconds instead"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    "$1" & pid=$!
    sleep 4
    import -window root "$2"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
' run "$program" "$shot"
echo "run: screenshot of kestrel saved to $shot"
