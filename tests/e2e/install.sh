#!/usr/bin/env bash
# What `cmake --install` puts in place works from there: the programs run, kestrel finds its help
# file beside itself, and the screensaver entries name the installed program.
CMAKE="$1"
BUILD_DIR="$2"
source "$(dirname "$0")/saver_lib.sh"

prefix="$E2E_TMP/prefix"
DESTDIR="" "$CMAKE" --install "$BUILD_DIR" --prefix "$prefix" >/dev/null
(cd "$prefix" && find . -type f | sort)
for file in bin/kestrel bin/kestrel-saver bin/Kestrel.HLP share/applications/kestrel.desktop \
    share/icons/hicolor/scalable/apps/kestrel.svg share/xscreensaver/config/kestrel-saver.xml \
    share/applications/screensavers/kestrel-saver.desktop; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done
echo "ok: installed files"

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

start_x

# kestrel away from its help file, with none on the PATH either, says so: what the check of the
# installed one below looks for.
mkdir "$E2E_TMP/elsewhere"
cp "$prefix/bin/kestrel" "$E2E_TMP/elsewhere/"
PATH=/usr/bin:/bin start_at "$SAVER_TIME" "$E2E_TMP/elsewhere/kestrel"
elsewhere=$E2E_LAST_PID
wait_window '^Kestrel help not available$' >/dev/null
echo "ok: a kestrel without its help file says so"
kill -TERM -- "-$elsewhere"
wait_gone "$elsewhere"

# The installed one finds it beside itself.
PATH=/usr/bin:/bin start_at "$SAVER_TIME" "$prefix/bin/kestrel"
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
