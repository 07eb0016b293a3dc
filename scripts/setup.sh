#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, testing, benchmarking and the end-to-end tests
# need: only those that are missing. Runs as root in CI and through sudo otherwise.
set -euo pipefail

packages=(
    # build
    g++ cmake ninja-build ccache pkg-config qt6-base-dev libgl-dev libxcb1-dev
    # the shared calendar's password in the desktop's secret store (libsecret is loaded at run time)
    qtkeychain-qt6-dev libsecret-1-0
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev clang-format time
    # windows without a desktop, end-to-end tests and screenshots
    xvfb xauth xdotool x11-utils faketime poppler-utils imagemagick fonts-dejavu-core xclip
    # reading window contents in the end-to-end tests, as a screen reader does
    dbus-x11 at-spi2-core python3-pyatspi
    # a notification service of the tests' own on a private session bus
    python3-dbus python3-gi
    # reading back the exported calendar with a parser of its own; a real CalDAV server
    python3-icalendar radicale curl openssl
    # reading holiday calendars (kestrel only)
    libical-dev
    # toolbar pictures from the desktop's icon theme
    adwaita-icon-theme
    # Wayland sessions and their test compositor, the PNG icons drawn from the SVG
    qt6-wayland weston librsvg2-bin
    # licence check, package build and checks of the package and its desktop files
    reuse lintian dpkg-dev fakeroot file desktop-file-utils appstream man-db
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: every package is installed"
    exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
else
    sudo=(sudo)
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
