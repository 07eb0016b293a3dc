#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts in place works from there: the programs run, kestrel finds its help
# file in share/kestrel, the desktop entry, AppStream description and manual pages pass their
# validators, and the screensaver entries name the installed program.
CMAKE="$1"
BUILD_DIR="$2"
source "$(dirname "$0")/saver_lib.sh"

prefix="$E2E_TMP/prefix"
DESTDIR="" "$CMAKE" --install "$BUILD_DIR" --prefix "$prefix" >/dev/null
(cd "$prefix" && find . -type f | sort)
for file in bin/kestrel bin/kestrel-saver share/kestrel/Kestrel.HLP share/applications/kestrel.desktop \
    share/icons/hicolor/scalable/apps/kestrel.svg share/xscreensaver/config/kestrel-saver.xml \
    share/applications/screensavers/kestrel-saver.desktop share/metainfo/org.kestrel_countdown.kestrel.metainfo.xml \
    share/man/man1/kestrel.1.gz share/man/man1/kestrel-saver.1.gz; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done
[ -e "$prefix/bin/Kestrel.HLP" ] && fail "the help file is installed in bin/"
[ -x "$prefix/share/kestrel/Kestrel.HLP" ] && fail "the help file is executable"
echo "ok: installed files"

# PNG icons at the usual sizes, each as large as its folder says.
for size in 16 22 24 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/kestrel.png"
    [ -f "$icon" ] || fail "no ${size}x${size} icon"
    expect_eq "${size}x${size} icon" "$(/usr/bin/identify -format '%wx%h' "$icon")" "${size}x${size}"
done

# The validators of the desktop's menus and software centres, and of manual pages.
for entry in "$prefix/share/applications/kestrel.desktop" "$prefix/share/applications/screensavers/kestrel-saver.desktop"; do
    report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate $entry: $report"
    grep -q 'contains more than one main category' <<<"$report" && fail "$entry: $report"
done
echo "ok: desktop-file-validate"
expect_eq "main category" "$(grep '^Categories=' "$prefix/share/applications/kestrel.desktop")" "Categories=Utility;Clock;"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.kestrel_countdown.kestrel.metainfo.xml" ||
    fail "appstreamcli validate"
version=$(sed -n 's/^project(Kestrel VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/org.kestrel_countdown.kestrel.metainfo.xml" ||
    fail "the AppStream description does not name version $version"
for page in kestrel kestrel-saver; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man page $page: $warnings"
    zcat "$prefix/share/man/man1/$page.1.gz" | grep -q "Kestrel $version" || fail "man page $page lacks version $version"
done
echo "ok: man pages"

# The entries that start the screensaver: its program by name, with -root.
/usr/bin/python3 - "$prefix/share/xscreensaver/config/kestrel-saver.xml" <<'PY' || fail "kestrel-saver.xml"
import sys, xml.etree.ElementTree as tree
root = tree.parse(sys.argv[1]).getroot()
assert root.tag == "screensaver" and root.get("name") == "kestrel-saver", root.attrib
assert root.get("_label") == "Kestrel Countdown", root.attrib
assert [c.get("arg") for c in root.findall("command")] == ["-root"]
assert root.findtext("_description").strip()
PY
entry="$prefix/share/applications/screensavers/kestrel-saver.desktop"
expect_eq "theme entry starts" "$(grep '^Exec=' "$entry")" "Exec=kestrel-saver -root"
expect_eq "theme entry looks for" "$(grep '^TryExec=' "$entry")" "TryExec=kestrel-saver"
expect_eq "theme entry category" "$(grep '^Categories=' "$entry")" "Categories=Screensaver;"

# A settings file, even an empty one, keeps the first-run options dialog away.
: >"$SETTINGS"
start_x

# kestrel away from its help file, with none in the data folders or on the PATH either, says so:
# what the check of the installed one below looks for.
mkdir "$E2E_TMP/elsewhere"
cp "$prefix/bin/kestrel" "$E2E_TMP/elsewhere/"
XDG_DATA_DIRS="$E2E_TMP/no-data" PATH=/usr/bin:/bin start_at "$SAVER_TIME" "$E2E_TMP/elsewhere/kestrel"
elsewhere=$E2E_LAST_PID
wait_window '^Kestrel help not available$' >/dev/null
echo "ok: a kestrel without its help file says so"
screen_text | grep -q 'share/kestrel' || fail "the message does not say where Kestrel looked"
screen_text | grep -q 'Windows' && fail "the message speaks of Windows"
echo "ok: the message names where Kestrel looked"
kill -TERM -- "-$elsewhere"
wait_gone "$elsewhere"

# The installed one finds it in its share/kestrel.
XDG_DATA_DIRS="$E2E_TMP/no-data" PATH=/usr/bin:/bin start_at "$SAVER_TIME" "$prefix/bin/kestrel"
wait_window '^(T-|Kestrel help not available$)' >/dev/null
sleep 1
screen_text | grep -q 'Kestrel help not available' && fail "the installed kestrel did not find its help file"
xdotool search --name '^Kestrel help not available$' >/dev/null && fail "the installed kestrel shows the missing help box"
echo "ok: the installed kestrel finds its help file"
kill -TERM -- "-$E2E_LAST_PID"
wait_gone "$E2E_LAST_PID"

# The screensaver hosts start it by name from the PATH.
PATH="$prefix/bin:/usr/bin:/bin" start_at "$SAVER_TIME" kestrel-saver
saver=$E2E_LAST_PID
wait_window "$SAVER_TITLE" >/dev/null
wait_labels "$SAVER_SHOWS"
kill -TERM "$(saver_pid "$saver")"
expect_exit "installed kestrel-saver ends on SIGTERM" "$saver" 0 2
echo "install e2e: passed"
