#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""What a tray sees of a StatusNotifierItem, and what it does to it:

  tray_item.py ITEM tooltip        the title of the item's ToolTip property
  tray_item.py ITEM menu           the items of its menu, "id|label|enabled" one a line
  tray_item.py ITEM click LABEL    clicks the menu item with that label (access key marks dropped)

ITEM is the bus name the item registered with the watcher, optionally followed by its object path
("org.kde.StatusNotifierItem-42-1" or ":1.7/StatusNotifierItem")."""
import sys
import time

import dbus

ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"


def split(item):
    if "/" in item:
        service, path = item.split("/", 1)
        return service, "/" + path
    return item, "/StatusNotifierItem"


def entries(layout):
    identifier, properties, children = layout
    yield int(identifier), properties
    for child in children:
        yield from entries(child)


def main():
    bus = dbus.SessionBus()
    service, path = split(sys.argv[1])
    item = bus.get_object(service, path)
    properties = dbus.Interface(item, "org.freedesktop.DBus.Properties")
    if sys.argv[2] == "tooltip":
        icon, pixmaps, title, text = properties.Get(ITEM, "ToolTip")
        print(str(title) or str(text))
        return
    menu = dbus.Interface(bus.get_object(service, properties.Get(ITEM, "Menu")), MENU)
    menu.AboutToShow(0)
    _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"))
    items = [(i, p) for i, p in entries(layout) if i != 0 and str(p.get("type", "")) != "separator"]
    if sys.argv[2] == "menu":
        for identifier, p in items:
            print(f"{identifier}|{p.get('label', '')}|{bool(p.get('enabled', True))}")
        return
    wanted = sys.argv[3]
    for identifier, p in items:
        if str(p.get("label", "")).replace("_", "").replace("&", "") == wanted:
            menu.Event(identifier, "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(int(time.time())))
            return
    sys.exit(f"no menu item '{wanted}'")


if __name__ == "__main__":
    main()
