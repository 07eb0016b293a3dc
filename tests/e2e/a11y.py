#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints what a screen reader sees of the running programs: one line per accessible object,
indented by depth, as ROLE|NAME, with objects that are not showing left out. The end-to-end
tests read window contents this way."""
import sys

import pyatspi


def walk(node, depth, application):
    try:
        states = node.getState()
        if depth > 1 and not states.contains(pyatspi.STATE_SHOWING):
            return
        print("%s%s|%s" % ("  " * depth, node.getRoleName(), node.name or ""))
        for index in range(node.childCount):
            walk(node.getChildAtIndex(index), depth + 1, application)
    except Exception as error:  # an object that went away while we looked
        print("%s<gone: %s>" % ("  " * depth, error), file=sys.stderr)


def main():
    wanted = sys.argv[1] if len(sys.argv) > 1 else None
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is None:
            continue
        if wanted is None or application.name == wanted:
            walk(application, 0, application)


if __name__ == "__main__":
    main()
