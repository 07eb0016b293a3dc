// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

namespace kestrel {

// The windows of the program that are loaded now, in the order they were loaded, each with the
// name the settings file records ("frmToolBar", "frmCountDown", ...). Index 0 is the first
// loaded, which is always the toolbar. A window is added by its load and removed by its unload
// (the program's windows through their WindowLife); a window destroyed without unloading drops out
// by itself. Every change is announced, so
// that what shows which windows are open (the toolbar's buttons) follows the list.
class LoadedWindows : public QObject
{
    Q_OBJECT
public:
    struct Entry
    {
        QString name;
        QPointer<QWidget> window;
    };

    // Adds a window at the end; a window already in the list keeps its place.
    void add(const QString& name, QWidget* window);
    // Takes a window out of the list.
    void remove(QWidget* window);
    // The windows still alive, in load order.
    std::vector<Entry> entries() const;
    // The number of windows still alive.
    int count() const;
    // Whether a window of that name is loaded (names compare without case).
    bool contains(const QString& name) const;
    // The first loaded window of that name; null when none.
    QWidget* find(const QString& name) const;

signals:
    // A window was loaded or unloaded (or destroyed without unloading).
    void changed();

private:
    void prune() const;
    mutable std::vector<Entry> m_entries;
};

} // namespace kestrel
