#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The command lines of both programs: help and version need no display, unknown options are
# usage errors with a hint (also options of older Qt versions such as --sync), Qt's own options
# are taken also by the commands without a window, and without a display each program says so in one line and ends
# with status 1 instead of aborting.
KESTREL="$1"
SAVER="$2"
source "$(dirname "$0")/lib.sh"

# Runs a program without any display; sets $status, $out and $err.
run_bare() { # program, args...
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY "$@" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
    out=$(cat "$E2E_TMP/out")
    err=$(cat "$E2E_TMP/err")
}

for program in "$KESTREL" "$SAVER"; do
    name=$(basename "$program")
    # what, arguments, status, text expected in standard output, in standard error
    while IFS='|' read -r what arguments want_status want_out want_err; do
        read -r -a args <<<"$arguments"
        run_bare "$program" "${args[@]}"
        expect_eq "$name $what: status" "$status" "$want_status"
        [[ "$out" == *"$want_out"* ]] || fail "$name $what: standard output '$out' lacks '$want_out'"
        [[ "$err" == *"$want_err"* ]] || fail "$name $what: standard error '$err' lacks '$want_err'"
        if [ "$want_status" != 0 ]; then
            [ -z "$out" ] || fail "$name $what: printed '$out' on standard output"
        else
            [ -z "$err" ] || fail "$name $what: printed '$err' on standard error"
        fi
    done <<TABLE
--help|--help|0|Usage: $name [options]|
-h|-h|0|--version|
--version|--version|0|$name $(sed -n 's/^project(Kestrel VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")|
-v|-v|0|$name |
unknown long option|--no-such-option|2||$name: Unknown option 'no-such-option'.
unknown dash option|-x|2||Try '$name --help'
missing value|-platform|2||$name: Missing value after '-platform'.
an option Qt 6 does not know|--ncols|2||$name: Unknown option 'ncols'.
TABLE
done

# kestrel takes no file or other word.
run_bare "$KESTREL" somefile
expect_eq "kestrel with a word: status" "$status" "2"
[[ "$err" == *"unexpected argument 'somefile'"* ]] || fail "kestrel with a word: '$err'"

# No display: one line that says so, status 1, not Qt's abort.
for program in "$KESTREL" "$SAVER"; do
    name=$(basename "$program")
    for display in "" ":99" ; do
        status=0
        if [ -z "$display" ]; then
            env -u DISPLAY -u WAYLAND_DISPLAY "$program" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
        else
            # A display number no X server answers on.
            env -u WAYLAND_DISPLAY DISPLAY=":$((RANDOM % 1000 + 3000))" "$program" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
        fi
        expect_eq "$name without a display ${display:+(dead server)}: status" "$status" "1"
        expect_eq "$name without a display: lines on standard error" "$(wc -l <"$E2E_TMP/err")" "1"
        grep -q "^$name: no display found" "$E2E_TMP/err" || fail "$name: $(cat "$E2E_TMP/err")"
    done
done
# A platform Qt has no plugin for is named as such.
status=0
QT_QPA_PLATFORM=no-such-platform "$KESTREL" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
expect_eq "kestrel on a missing platform: status" "$status" "1"
expect_eq "kestrel on a missing platform: message" "$(cat "$E2E_TMP/err")" \
    'kestrel: cannot open a window: Qt has no "no-such-platform" platform plugin here (see QT_QPA_PLATFORM)'

# Qt's own options are accepted also by the commands that open no window; "-" as the PDF file is
# standard output, and no file named "-" is made.
cat >"$SETTINGS" <<INI
[Target Date]
Target_Year=2000
Target_Month=1
Target_Day=1
INI
status=0
(cd "$E2E_TMP" && faked frozen "1999-12-30 15:20:45" env -u DISPLAY -u WAYLAND_DISPLAY \
    "$KESTREL" -platform offscreen --line >"$E2E_TMP/out" 2>"$E2E_TMP/err") || status=$?
expect_eq "kestrel -platform offscreen --line: status" "$status" "0"
expect_eq "kestrel -platform offscreen --line: line" "$(cat "$E2E_TMP/out")" "T-0:1:8:39:15"
status=0
(cd "$E2E_TMP" && faked frozen "1999-12-30 15:20:45" env -u DISPLAY -u WAYLAND_DISPLAY \
    "$KESTREL" --report-pdf - -display :1 >"$E2E_TMP/out.pdf" 2>"$E2E_TMP/err") || status=$?
expect_eq "kestrel --report-pdf -: status" "$status" "0"
[ ! -e "$E2E_TMP/-" ] || fail "kestrel --report-pdf - made a file named '-'"
expect_eq "kestrel --report-pdf -: title" "$(pdfinfo "$E2E_TMP/out.pdf" | sed -n 's/^Title: *//p')" "Kestrel Report"
rm -f "$SETTINGS"

# kestrel-saver --add-to-xscreensaver puts itself into the user's programs list once, keeping the
# other programs and settings.
printf 'timeout: 0:05:00\nprograms: \\\n  maze -root \\n\\\n  qix -root \\n\n\nfade: False\n' >"$HOME/.xscreensaver"
run_bare "$SAVER" --add-to-xscreensaver
expect_eq "kestrel-saver --add-to-xscreensaver: status" "$status" "0"
expect_eq "programs list afterwards" "$(sed -n '2,5p' "$HOME/.xscreensaver")" \
    "programs: \\
  \"Kestrel Countdown\"  $SAVER -root  \\n\\
  maze -root \\n\\
  qix -root \\n"
expect_eq "other settings kept" "$(sed -n '1p;7p' "$HOME/.xscreensaver" | paste -sd'|')" "timeout: 0:05:00|fade: False"
cp "$HOME/.xscreensaver" "$E2E_TMP/xscreensaver-before"
run_bare "$SAVER" --add-to-xscreensaver
expect_eq "kestrel-saver --add-to-xscreensaver again: status" "$status" "0"
cmp -s "$HOME/.xscreensaver" "$E2E_TMP/xscreensaver-before" || fail "a second --add-to-xscreensaver changed the file"
# Without a file of the user's, the system's list is the start; without one either, nothing is
# written and the status says so.
rm "$HOME/.xscreensaver"
run_bare "$SAVER" --add-to-xscreensaver
if [ -f /etc/X11/app-defaults/XScreenSaver ]; then
    expect_eq "--add-to-xscreensaver from the system's list: status" "$status" "0"
    grep -q "Kestrel Countdown" "$HOME/.xscreensaver" || fail "the saver is not in the new list"
else
    expect_eq "--add-to-xscreensaver without any list: status" "$status" "1"
    [[ "$err" == *"is xscreensaver installed?"* ]] || fail "--add-to-xscreensaver without any list: '$err'"
    [ ! -e "$HOME/.xscreensaver" ] || fail "--add-to-xscreensaver wrote a file without a list"
fi

# Help and version do not start the screensaver's lock or kestrel's: a running copy does not stop
# them, and they leave nothing in the runtime folder.
expect_eq "runtime folder after help and version" "$(ls -A "$XDG_RUNTIME_DIR")" ""
echo "command line e2e: passed"
