# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Puts a section of results into bench/RESULTS.md: the section that starts with the same
"## " heading is replaced, or the section is added at the end."""
import re
import sys

path = "bench/RESULTS.md"
section = sys.argv[1].rstrip() + "\n"
heading = section.splitlines()[0]
text = open(path).read()
pattern = re.compile("^" + re.escape(heading) + r"\n.*?(?=^## |\Z)", re.S | re.M)
if pattern.search(text):
    text = pattern.sub(lambda m: section + "\n", text).rstrip() + "\n"
else:
    text = text.rstrip() + "\n\n" + section
open(path, "w").write(text)
