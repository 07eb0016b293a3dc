#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Puts the cases of cases.py to the platform's profile functions (Wine's kernel32, through
profile_probe.exe) and writes their answers to tests/common/data/profile_answers.txt, which
the unit tests compare Kestrel with. Needs wine64 and gcc-mingw-w64-x86-64 (Debian); run
tests/profile-harness/regenerate.sh rather than this file."""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
from cases import CASES, R, W  # noqa: E402

BLANKS = "\t\n\x0b\x0c\r\x1a "

# Why Kestrel answers otherwise than the platform where it does; every tag used below is here.
DIFFERENCES = {
    "quoted": "a value with blanks at either end, or wrapped in a pair of matching quotes, is written "
              "inside double quotes so that it reads back exactly; given bare, the platform writes it bare "
              "and reads it back without its blanks (the unit texts such as \" Years \" would lose theirs). "
              "The platform was given the quoted text.",
    "line-break": "line breaks and NULs in a written value become blanks; the platform would write the rest of "
                  "the value as lines of their own. The platform was given the value with blanks.",
    "layout": "Wine rewrites the whole file in its own layout on every write (blank lines dropped, blanks "
              "around lines, names and '=' dropped, every line end CR LF); the platform edits the one line "
              "of the key and keeps every other byte, as Kestrel does. The two files agree line for line once "
              "that layout is undone.",
    "nul-dropped": "NUL bytes in the file do not count when it is read (they stay in the file through a write); "
                   "the platform's value ends at the first NUL.",
    "quoted-cut": "a quoted value of exactly 2047 characters reads whole; Wine's reader drops its last character "
                  "too (it takes the closing quote off a copy already cut to the buffer).",
    "default-blank": "Wine keeps the first character of a default made only of blanks; the platform's "
                     "documentation says trailing blanks of the default are stripped, and the program's unit "
                     "texts (default \" \") rely on it.",
}


def to_bytes(text):
    return text if isinstance(text, bytes) else text.encode("utf-8")


def stored_text(value):
    """The text Kestrel writes for value (see StoredText in common/Settings.cpp)."""
    value = to_bytes(value)
    for c in (b"\r", b"\n", b"\x00"):
        value = value.replace(c, b" ")
    if value and (chr(value[0]) in BLANKS or chr(value[-1]) in BLANKS or
                  (len(value) >= 2 and value[:1] in (b'"', b"'") and value[-1:] == value[:1])):
        return b'"' + value + b'"'
    return value


def write_tag(value):
    value = to_bytes(value)
    stored = stored_text(value)
    if stored == value:
        return None
    return "line-break" if any(c in value for c in b"\r\n\x00") else "quoted"


def is_utf8(data):
    try:
        data.decode("utf-8")
        return True
    except UnicodeDecodeError:
        return False


def program_text(data):
    """What Kestrel gives for the bytes a read with the A function returned."""
    if is_utf8(data):
        return data
    # The five bytes Windows-1252 leaves unassigned stand for the control characters of their number.
    text = ""
    for b in data:
        try:
            text += bytes([b]).decode("cp1252")
        except UnicodeDecodeError:
            text += chr(b)
    return text.encode("utf-8")


def uses_wide(file):
    return file is not None and (file.startswith(b"\xef\xbb\xbf") or file[:2] in (b"\xff\xfe", b"\xfe\xff"))


def hexed(data):
    return to_bytes(data).hex() or "00"


def escape(data):
    out = []
    for b in to_bytes(data):
        c = chr(b)
        if c == "\\":
            out.append("\\\\")
        elif c == '"':
            out.append('\\"')
        elif c == "\r":
            out.append("\\r")
        elif c == "\n":
            out.append("\\n")
        elif c == "\t":
            out.append("\\t")
        elif 0x20 <= b < 0x7F:
            out.append(c)
        else:
            out.append("\\x%02x" % b)
    return '"' + "".join(out) + '"'


def crlf_to_lf(data):
    if data[:2] == b"\xff\xfe":
        return data.replace(b"\r\x00\n\x00", b"\n\x00")
    if data[:2] == b"\xfe\xff":
        return data.replace(b"\x00\r\x00\n", b"\x00\n")
    return data.replace(b"\r\n", b"\n")


def main():
    probe, out_path = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="kestrel-profile-")
    commands = []
    for index, (name, file, ops, _) in enumerate(CASES):
        path = os.path.join(work, "case%03d.ini" % index)
        if file is not None:
            with open(path, "wb") as f:
                f.write(file)
        kind = "W" if uses_wide(file) else "A"
        windows_path = "Z:" + path.replace("/", "\\")
        for op in ops:
            third = op[3] if op[0] == R else stored_text(op[3])
            commands.append("%s %s %s %s %s %s" % (op[0][0].upper(), kind, hexed(windows_path), hexed(op[1]),
                                                   hexed(op[2]), hexed(third)))
    command_file = os.path.join(work, "commands.txt")
    with open(command_file, "w") as f:
        f.write("\n".join(commands) + "\n")
    env = dict(os.environ, WINEDEBUG="-all")
    answers = subprocess.run([os.environ.get("WINE", "wine64"), probe, "Z:" + command_file.replace("/", "\\")],
                             env=env, check=True, capture_output=True, text=True).stdout.splitlines()
    if answers[0].strip() != "1252":
        sys.exit("the platform's ANSI code page is %s, not 1252: set LANG to an English locale" % answers[0])
    answers = answers[1:]
    if len(answers) != len(commands):
        sys.exit("%d answers for %d commands" % (len(answers), len(commands)))

    reads = writes = sequences = 0
    used = set()
    body = []
    at = 0
    for index, (name, file, ops, differences) in enumerate(CASES):
        body.append("case\t%s" % escape(name))
        body.append("file\tnone" if file is None else "file\t%s" % escape(file))
        wide = uses_wide(file)
        for n, op in enumerate(ops):
            answer = answers[at]
            at += 1
            if op[0] == R:
                reads += 1
                count, _, data = answer.partition(" ")
                data = bytes.fromhex(data)
                text = data if wide else program_text(data)
                line = "read\t%s\t%s\t%s\t%s" % (escape(op[1]), escape(op[2]), escape(op[3]), escape(text))
                if "read %d" % n in differences:
                    tag, kestrel = differences["read %d" % n]
                    used.add(tag)
                    line += "\t%s\t%s" % (tag, escape(kestrel))
                body.append(line)
            else:
                writes += 1
                if answer.strip() != "1":
                    sys.exit("%s: write %d failed on the platform" % (name, n))
                line = "write\t%s\t%s\t%s" % (escape(op[1]), escape(op[2]), escape(op[3]))
                tag = write_tag(op[3])
                if tag:
                    used.add(tag)
                    line += "\t" + tag
                body.append(line)
        if any(op[0] == W for op in ops):
            sequences += 1
            path = os.path.join(work, "case%03d.ini" % index)
            with open(path, "rb") as f:
                result = crlf_to_lf(f.read())
            line = "result\t%s" % escape(result)
            if "result" in differences:
                tag, kestrel = differences["result"]
                used.add(tag)
                line += "\t" + tag + ("" if kestrel is None else "\t" + escape(kestrel))
            body.append(line)
        body.append("end")

    header = [
        "# The answers of the platform's profile functions (Wine's kernel32 GetPrivateProfileStringA/W and",
        "# WritePrivateProfileStringA/W, 2048-character buffer, full Z:\\ path) to the cases of",
        "# tests/profile-harness/cases.py. Regenerate with tests/profile-harness/regenerate.sh.",
        "# %d files, %d reads, %d writes in %d write sequences." % (len(CASES), reads, writes, sequences),
        "#",
        "# Lines: case NAME / file BYTES|none / read SECTION KEY DEFAULT ANSWER [TAG KESTREL-ANSWER] /",
        "# write SECTION KEY VALUE [TAG] / result FILE-AFTER-THE-WRITES [TAG [KESTREL-FILE]] / end.",
        "# Fields are tab-separated, texts in double quotes with \\\\ \\\" \\r \\n \\t \\xHH escapes.",
        "# A read's answer is the text Kestrel must give: UTF-8 as the file holds it, a value that is not",
        "# UTF-8 read as Windows-1252. Files with a byte-order mark were read and written with the W",
        "# functions, others with the A functions. A result is the file after the writes, CR LF turned",
        "# into LF. Each difference below says where and why Kestrel answers otherwise; a line tagged",
        "# with it holds Kestrel's answer after the tag (a result tagged layout: the same lines).",
    ]
    for tag in sorted(used):
        header.append("difference\t%s\t%s" % (tag, DIFFERENCES[tag]))
    with open(out_path, "w") as f:
        f.write("\n".join(header + body) + "\n")
    print("%d files, %d reads, %d write sequences (%d writes)" % (len(CASES), reads, sequences, writes))


if __name__ == "__main__":
    main()
