#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives the program as a screen reader's user does, through the accessibility bus, where no
window tool reaches (a Wayland compositor). The windows are the program's top-level objects,
named by their titles.

  a11y_do.py menu TITLE MENU            the items of a menu of the window's menu bar, one a line,
                                        whether the menu is open or not (not those that open a
                                        submenu)
  a11y_do.py do TITLE ROLE NAME ACTION  does the named action on the first object of that role
                                        whose whole name matches NAME (a regular expression)
  a11y_do.py focus TITLE ROLE NAME      gives that object the keyboard focus
  a11y_do.py active TITLE               succeeds when the window is the active one

Exit status 1 when the window or object is not there (yet), 2 on wrong use."""
import re
import sys

import pyatspi


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is not None and app.name == "Kestrel":
            return app
    return None


def window(title):
    app = application()
    if app is None:
        return None
    for index in range(app.childCount):
        child = app.getChildAtIndex(index)
        if (
            child is not None
            and re.fullmatch(title, child.name or "")
            and child.getState().contains(pyatspi.STATE_SHOWING)
        ):
            return child
    return None


def find(node, role, name):
    if re.fullmatch(role, node.getRoleName()) and re.fullmatch(name, node.name or ""):
        return node
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            found = find(child, role, name)
            if found is not None:
                return found
    return None


def main(args):
    if len(args) == 3 and args[0] == "menu":
        top = window(args[1])
        bar = top and find(top, "menu bar", "")
        menu = bar and find(bar, "menu item", re.escape(args[2]))
        if not menu or menu.childCount != 1:
            return 1
        popup = menu.getChildAtIndex(0)
        for index in range(popup.childCount):
            item = popup.getChildAtIndex(index)
            # A submenu (Tools > Countdowns) opens no window of its own: it is not listed.
            if item.getRoleName() == "menu item" and item.childCount == 0:
                print(item.name)
        return 0
    if len(args) == 5 and args[0] == "do":
        top = window(args[1])
        target = top and find(top, args[2], args[3])
        if not target:
            return 1
        actions = target.queryAction()
        names = [actions.getName(index) for index in range(actions.nActions)]
        if args[4] not in names:
            print("%s %s has the actions %s" % (args[2], args[3], names), file=sys.stderr)
            return 1
        try:
            actions.doAction(names.index(args[4]))
        except Exception as error:
            # An action that opens a modal window answers only when that window closes: the call
            # times out while it was done. Whether it was is seen from what appears.
            print("no answer yet: %s" % error, file=sys.stderr)
        return 0
    if len(args) == 4 and args[0] == "focus":
        top = window(args[1])
        target = top and find(top, args[2], args[3])
        return 0 if target and target.queryComponent().grabFocus() else 1
    if len(args) == 2 and args[0] == "active":
        top = window(args[1])
        return 0 if top and top.getState().contains(pyatspi.STATE_ACTIVE) else 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
