# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The settings files, reads and write sequences that the comparison puts to the platform's
profile functions. Each case is (name, file bytes or None, operations, expected differences).
An operation is ("read", section, key, default) or ("write", section, key, value); texts are
str (UTF-8) or bytes. Differences name the places where Kestrel answers otherwise on purpose:
{"read N": (tag, kestrel answer)} for the Nth operation, {"result": (tag, kestrel bytes or None)}
for the file after the writes (None: the difference is the file's layout only)."""

R = "read"
W = "write"


def lines(*rows, end="\r\n"):
    return end.join(rows).encode("latin-1") + end.encode()


def utf16(text, big=False):
    return (b"\xfe\xff" + text.encode("utf-16-be")) if big else (b"\xff\xfe" + text.encode("utf-16-le"))


CASES = []


def case(name, file, ops, differences=None):
    CASES.append((name, file, ops, differences or {}))


# --- ordinary files ------------------------------------------------------------------------
program = lines(
    "[Target Date]", "Target_Year=2027", "Target_Month=6", "Target_Day=15", "Target_Type=WorkDays",
    "Caption_option=dd:hh:mm:ss", "[File Options]", "Count_Down_File=/home/ann/Kestrel.txt",
    "Continuous_Save=1", "File Before Text=T-", "Project Title=Launch", "[Forms Position]",
    "ToolBarTop=1440", "ToolBarLeft=1234.5", "[CountDown]", "Caption BackColor=-2147483633")
case("program file", program, [
    (R, "Target Date", "Target_Year", "2000"), (R, "target date", "TARGET_MONTH", "1"),
    (R, "Target Date", "Target_Day", "1"), (R, "Target Date", "Target_Type", "Days"),
    (R, "Target Date", "Caption_option", "yy:dd:hh:mm:ss"), (R, "File Options", "Count_Down_File", "x"),
    (R, "File Options", "Continuous_Save", "0"), (R, "File Options", "File Before Text", "T-"),
    (R, "File Options", "Project Title", "Year 2000 Conversion Project"),
    (R, "File Options", "YY After Text", " Years "), (R, "Forms Position", "ToolbarTop", "0"),
    (R, "FORMS POSITION", "toolbarleft", "0"), (R, "CountDown", "Caption BackColor", "0"),
    (R, "CountDown", "Missing Key", "fallback"), (R, "Missing Section", "Target_Year", "none"),
])
case("program file with LF", program.replace(b"\r\n", b"\n"), [
    (R, "Target Date", "Target_Year", "2000"), (R, "File Options", "Project Title", "?"),
    (R, "CountDown", "caption backcolor", "0")])
case("program file with CR", program.replace(b"\r\n", b"\r"), [
    (R, "Target Date", "Target_Year", "2000"), (R, "File Options", "Project Title", "?"),
    (R, "CountDown", "caption backcolor", "0")])
case("no file", None, [
    (R, "Target Date", "Target_Year", "2000"), (R, "File Options", "YY After Text", " Years "),
    (R, "File Options", "DD Before Text", " "), (R, "S", "k", ""), (R, "S", "k", "trailing   "),
    (R, "S", "k", "  leading"), (R, "S", "k", "\ttab\t"), (R, "S", "k", '"quoted default"'),
    (R, "S", "k", "'single'"), (R, "S", "k", '"'), (R, "S", "k", '" spaced "  ')],
    {"read 2": ("default-blank", "")})
case("empty file", b"", [(R, "S", "k", "d"), (R, "Target Date", "Target_Year", "2000")])
case("only blank lines", b"\r\n\r\n   \r\n\t\r\n", [(R, "S", "k", "d")])
case("blanks around names and values", lines(
    "  [  Target Date  ]  ", "   Target_Year   =   2027   ", "\tTarget_Month\t=\t7\t", "Target_Day=  ",
    "Target_Type = Work Days", "k=a = b"), [
    (R, "Target Date", "Target_Year", "?"), (R, "Target Date", "Target_Month", "?"),
    (R, "Target Date", "Target_Day", "?"), (R, "Target Date", "Target_Type", "?"),
    (R, "  Target Date ", "  Target_Year ", "?"), (R, "Target Date", "k", "?")])
case("case of names", lines("[MiXeD Case]", "KeY=1", "other=2"), [
    (R, "mixed case", "key", "?"), (R, "MIXED CASE", "KEY", "?"), (R, "Mixed Case", "Other", "?"),
    (R, "mixed  case", "key", "?")])
case("first key wins", lines("[S]", "k=first", "K=second", "k=third", "[T]", "k=t"), [
    (R, "S", "k", "?"), (R, "s", "K", "?"), (R, "T", "k", "?")])
case("empty values", lines("[S]", "empty=", "blank=    ", "quotes=\"\"", "single=''"), [
    (R, "S", "empty", "d"), (R, "S", "blank", "d"), (R, "S", "quotes", "d"), (R, "S", "single", "d")])
case("comments and odd lines", lines(
    "; a comment", "[S]", "; k=commented", "# hash=1", "word", "k=v", "=novalue", "  ;x=y", "m=1 ; not a comment"), [
    (R, "S", "k", "?"), (R, "S", "word", "?"), (R, "S", "# hash", "?"), (R, "S", "m", "?"),
    (R, "S", "; k", "?")])
long_value = "".join(chr(ord("a") + i % 26) for i in range(3000))
case("long values", lines("[S]", "long=" + long_value, "exact=" + long_value[:2047], "over=" + long_value[:2048],
                          "under=" + long_value[:2046]), [
    (R, "S", "long", ""), (R, "S", "exact", ""), (R, "S", "over", ""), (R, "S", "under", "")])
case("long line of spaces", lines("[S]", "k=" + " " * 3000 + "v" + " " * 100), [(R, "S", "k", "")])
case("equals in values", lines("[S]", "url=http://x/?a=1&b=2", "eq==", "two = = "), [
    (R, "S", "url", "?"), (R, "S", "eq", "?"), (R, "S", "two", "?")])
case("numbers and signs", lines("[S]", "neg=-2147483633", "float=1234.5", "plus=+7", "hex=&H10"), [
    (R, "S", "neg", "0"), (R, "S", "float", "0"), (R, "S", "plus", "0"), (R, "S", "hex", "0")])
case("keys before any section", lines("k=top", "[S]", "k=inside"), [(R, "S", "k", "?")])
case("blank lines between sections", lines("[A]", "", "a=1", "", "", "[B]", "", "b=2", ""), [
    (R, "A", "a", "?"), (R, "B", "b", "?"), (R, "A", "b", "?")])
case("no line end at the end", b"[S]\r\nk=v\r\nlast=end", [(R, "S", "k", "?"), (R, "S", "last", "?")])
case("mixed line ends", b"[A]\na=1\r\nb=2\r[B]\nc=3", [
    (R, "A", "a", "?"), (R, "A", "b", "?"), (R, "B", "c", "?")])
case("control characters", b"[S]\r\nk=\x0bv\x0c\r\nz=\x1av\x1a\r\nbell=a\x07b\r\n", [
    (R, "S", "k", "?"), (R, "S", "z", "?"), (R, "S", "bell", "?")])
case("NUL bytes", b"[A]\r\nk=a\x00b\r\n[B]\r\nm=1\r\n", [(R, "A", "k", "?"), (R, "B", "m", "?")],
     {"read 0": ("nul-dropped", "ab")})

# --- quoted values -------------------------------------------------------------------------
case("quoted values", lines(
    '[S]', 'double="quoted"', 'spaced=" spaced "', 'empty=""', 'inner="a"b"', "single='quoted'",
    "mixed=\"abc'", 'lone="', "twolone=''", 'open="abc', 'close=abc"', 'outside=  "x"  ',
    'nested=""x""', 'three="""', "apos='a\"b'", 'units=" Years "'), [
    (R, "S", "double", "?"), (R, "S", "spaced", "?"), (R, "S", "empty", "?"), (R, "S", "inner", "?"),
    (R, "S", "single", "?"), (R, "S", "mixed", "?"), (R, "S", "lone", "?"), (R, "S", "twolone", "?"),
    (R, "S", "open", "?"), (R, "S", "close", "?"), (R, "S", "outside", "?"), (R, "S", "nested", "?"),
    (R, "S", "three", "?"), (R, "S", "apos", "?"), (R, "S", "units", "?")])
case("quoted long value", lines("[S]", 'q="' + long_value[:3000] + '"', 'r="' + long_value[:2040] + '"',
                                'e="' + long_value[:2047] + '"'), [
    (R, "S", "q", ""), (R, "S", "r", ""), (R, "S", "e", "")], {"read 2": ("quoted-cut", long_value[:2047])})

# --- sections ------------------------------------------------------------------------------
case("repeated section", lines("[A]", "a=1", "[B]", "b=1", "[a]", "a=2", "c=3"), [
    (R, "A", "a", "?"), (R, "A", "c", "?"), (R, "B", "b", "?")])
case("damaged section line", lines("[A]", "a=1", "[B", "b=2", "[C]", "c=3"), [
    (R, "A", "a", "?"), (R, "A", "b", "?"), (R, "B", "b", "?"), (R, "C", "c", "?")])
case("lone bracket line", lines("[", "", "[S]", "good=yes"), [(R, "S", "good", "?")])
case("odd section lines", lines(
    "[ Spaced ]", "a=1", "[X] trailing", "x=1", "[a]b]", "ab=1", "[]", "e=1", "[[S]]", "s=1", "[T]]", "t=1"), [
    (R, "Spaced", "a", "?"), (R, "X", "x", "?"), (R, "a]b", "ab", "?"), (R, "[S]", "s", "?"),
    (R, "T]", "t", "?"), (R, "T", "t", "?")])
case("section names with blanks", lines("[Target Date]", "k=1", "[Forms  Position]", "k=2"), [
    (R, "Target Date", "k", "?"), (R, "TargetDate", "k", "?"), (R, "Forms  Position", "k", "?"),
    (R, "Forms Position", "k", "?")])

# --- other encodings -----------------------------------------------------------------------
case("UTF-8 with mark", b"\xef\xbb\xbf[S]\r\nk=v\r\ncafe=caf\xc3\xa9\r\n", [
    (R, "S", "k", "?"), (R, "S", "cafe", "?")])
case("UTF-8 without mark", b"[S]\r\ncafe=caf\xc3\xa9\r\neuro=\xe2\x82\xac5\r\n", [
    (R, "S", "cafe", "?"), (R, "S", "euro", "?")])
case("Windows-1252 values", b"[S]\r\ncafe=caf\xe9\r\neuro=\x805\r\nquote=\x93hi\x94\r\nmixed=\xc3\xa9\xe9\r\n", [
    (R, "S", "cafe", "?"), (R, "S", "euro", "?"), (R, "S", "quote", "?"), (R, "S", "mixed", "?")])
case("UTF-16 little-endian", utf16("[Target Date]\r\nTarget_Year=2027\r\nName=Zoë ★\r\n[S]\r\nq=\" x \"\r\n"), [
    (R, "Target Date", "Target_Year", "2000"), (R, "target date", "name", "?"), (R, "S", "q", "?"),
    (R, "S", "missing", "d")])
case("UTF-16 big-endian", utf16("[S]\r\nk=v\r\nName=Zoë\r\n", big=True), [
    (R, "S", "k", "?"), (R, "S", "Name", "?")])
case("UTF-16 long value", utf16("[S]\r\nk=" + "é" * 3000 + "\r\nstar=" + "★" * 2100 + "\r\n"), [
    (R, "S", "k", ""), (R, "S", "star", "")])
case("UTF-8 with mark long value", b"\xef\xbb\xbf[S]\r\nk=" + "é".encode() * 3000 + b"\r\n", [(R, "S", "k", "")])
case("non-ASCII names", b"\xef\xbb\xbf[CAF\xc3\x89]\r\nK\xc3\x89Y=1\r\n[caf\xc3\xa9]\r\nk\xc3\xa9y=2\r\n", [
    (R, "café", "kéy", "d"), (R, "CAFÉ", "KÉY", "d")])
case("UTF-16 without line end", utf16("[S]\r\nk=v"), [(R, "S", "k", "?")])

# --- generated ordinary files --------------------------------------------------------------
for n in range(40):
    sections = ["Target Date", "File Options", "Forms Open", "Forms Position", "CountDown"][: 1 + n % 5]
    end = ["\r\n", "\n"][n % 2]
    rows = []
    for s_index, section in enumerate(sections):
        rows.append("[" + (section.upper() if n % 3 == 0 else section) + "]")
        for k in range(1 + (n + s_index) % 4):
            rows.append("Key%d=value %d.%d" % (k, n, k))
    ops = []
    for s_index, section in enumerate(sections):
        ops.append((R, section, "key0", "none"))
        ops.append((R, section.lower(), "KEY%d" % (1 + n % 3), "none"))
    case("generated %d" % n, lines(*rows, end=end), ops)

# --- write sequences -----------------------------------------------------------------------
case("write into the program file", program, [
    (W, "Target Date", "Target_Year", "2028"), (W, "target date", "TARGET_MONTH", "12"),
    (W, "File Options", "YY After Text", " Years "), (W, "File Options", "DD Before Text", " "),
    (W, "Forms Open", "FormCount", "2"), (W, "Forms Open", "Form1", "frmCountDown"),
    (R, "Target Date", "Target_Year", "?"), (R, "File Options", "YY After Text", "?"),
    (R, "File Options", "DD Before Text", "?"), (R, "Forms Open", "Form1", "?")])
case("write into a new file", None, [
    (W, "Target Date", "Target_Year", "2001"), (W, "Forms Open", "frmCalc", "1"),
    (W, "Target Date", "Target_Month", "3"), (R, "Target Date", "Target_Year", "?")])
case("write the same value", lines("[S]", "k=v"), [(W, "S", "k", "v"), (R, "S", "k", "?")])
case("write keeps comments", lines(
    "; written by hand", "[Other Program]", "Colour=red", "; the target", "[Target Date]", "Target_Year=1999",
    "Theirs=1", "[CountDown]", "Font=Arial", "; the last word"), [
    (W, "Target Date", "Target_Year", "2001"), (W, "Target Date", "Target_Month", "12"),
    (W, "CountDown", "Size", "10")])
case("write with blank lines", lines("[A]", "a=1", "", "[B]", "b=2", "", ""), [
    (W, "A", "new", "x"), (W, "B", "b", "3"), (W, "C", "c", "4")], {"result": ("layout", None)})
case("write with indentation", lines("  [S]", "   k  =  old  ", "\tm=1"), [
    (W, "S", "k", "new"), (W, "S", "n", "2"), (R, "S", "k", "?")], {"result": ("layout", None)})
case("write into repeated section", lines("[A]", "a=1", "[B]", "b=1", "[A]", "c=3"), [
    (W, "A", "c", "new"), (W, "a", "a", "2"), (R, "A", "c", "?"), (R, "A", "a", "?")])
case("write after damaged section line", lines("[A]", "a=1", "[B", "b=2"), [
    (W, "B", "k", "v"), (W, "B", "k", "w"), (W, "A", "b", "3"), (R, "B", "k", "?"), (R, "A", "b", "?")])
case("write after lone bracket", lines("[", "[S]", "good=yes"), [
    (W, "S", "more", "1"), (R, "S", "good", "?"), (R, "S", "more", "?")])
case("write quoted values", lines("[S]", "k=v"), [
    (W, "S", "lead", " Years"), (W, "S", "trail", "Hours "), (W, "S", "both", " Minutes "),
    (W, "S", "blank", " "), (W, "S", "dq", '"quoted"'), (W, "S", "sq", "'single'"), (W, "S", "inner", 'a"b'),
    (W, "S", "open", '"open'), (W, "S", "empty", ""),
    (R, "S", "lead", "?"), (R, "S", "trail", "?"), (R, "S", "both", "?"), (R, "S", "blank", "?"),
    (R, "S", "dq", "?"), (R, "S", "sq", "?"), (R, "S", "inner", "?"), (R, "S", "open", "?"),
    (R, "S", "empty", "?")])
case("rewrite a quoted value", lines("[S]", 'k=" old "'), [(W, "S", "k", " new "), (R, "S", "k", "?")])
case("write into file without line end", b"[S]\r\nk=v", [(W, "S", "m", "1"), (W, "T", "t", "2")])
case("write into LF file", lines("[S]", "k=v", end="\n"), [(W, "S", "m", "1"), (W, "T", "t", "2"), (W, "S", "k", "w")])
case("write into CR file", lines("[S]", "k=v", end="\r"), [(W, "S", "m", "1")], {"result": ("layout", None)})
case("write into empty file", b"", [(W, "S", "k", "v")])
case("write into UTF-16 file", utf16("[S]\r\nk=v\r\nName=Zoë\r\n"), [
    (W, "S", "k", "w"), (W, "S", "Name", "Zoë ★"), (W, "T", "t", "€"), (R, "S", "Name", "?"), (R, "T", "t", "?")])
case("write into UTF-16 big-endian file", utf16("[S]\r\nk=v\r\n", big=True), [(W, "S", "k", "w"), (W, "S", "m", "1")])
case("write into UTF-8 file with mark", b"\xef\xbb\xbf[S]\r\nk=v\r\n", [(W, "S", "k", "w"), (W, "S", "c", "café")])
case("write non-ASCII into plain file", lines("[S]", "k=v"), [(W, "S", "k", "café"), (R, "S", "k", "?")])
case("write keeps Windows-1252 values", b"[S]\r\ncafe=caf\xe9\r\nk=v\r\n", [
    (W, "S", "k", "w"), (R, "S", "cafe", "?")])
case("write case of names", lines("[forms position]", "ToolBarTop=100"), [
    (W, "FORMS POSITION", "TOOLBARTOP", "200"), (W, "Forms Position", "ToolbarLeft", "10"),
    (R, "Forms Position", "ToolBarTop", "?")])
case("write first of duplicate keys", lines("[S]", "k=first", "K=second"), [(W, "S", "k", "new"), (R, "S", "k", "?")])
case("write long value", lines("[S]", "k=v"), [(W, "S", "k", long_value), (R, "S", "k", "")])
case("write line break in value", lines("[S]", "k=v", "next=kept"), [
    (W, "S", "k", "one\r\ntwo"), (R, "S", "k", "?"), (R, "S", "next", "?")])
case("write with comment at section end", lines("[A]", "a=1", "; about B", "[B]", "b=1"), [(W, "A", "n", "2")])
case("write value with equals", lines("[S]", "k=v"), [(W, "S", "url", "a=b"), (R, "S", "url", "?")])
case("write then read back", lines("[S]", "k=v"), [
    (W, "S", "k", "1"), (R, "S", "k", "?"), (W, "S", "k", "2"), (R, "S", "k", "?")])
case("write names with blanks", lines("[S]", "k=v"), [
    (W, "  S  ", "  k  ", "x"), (W, " T ", " t ", "y"), (R, "S", "k", "?"), (R, "T", "t", "?")],
    {"result": ("layout", None)})
case("write into the nth section", lines("[A]", "a=1", "[B]", "b=1", "[C]", "c=1"), [
    (W, "B", "b2", "2"), (W, "A", "a2", "2"), (W, "C", "c2", "2")])
for n in range(10):
    rows = ["[Target Date]", "Target_Year=%d" % (2000 + n), "[File Options]", "Project Title=P%d" % n]
    case("generated write %d" % n, lines(*rows, end=["\r\n", "\n"][n % 2]), [
        (W, "Target Date", "Target_Year", str(2030 + n)), (W, "File Options", "Project Title", "Title %d" % n),
        (W, "Forms Position", "Top%d" % n, str(n * 15)), (R, "Target Date", "Target_Year", "?")])
