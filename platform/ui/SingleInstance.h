// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

namespace kestrel {

// One running copy of a program per user session. The first start holds a lock file in the
// runtime folder and listens on a local socket beside it; a later start finds the lock taken and
// asks the first, through the socket, to show its window. A lock or socket left by a killed
// process does not block the next start.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // `folder` is the runtime folder (RuntimeFolder() outside tests), `name` the program's.
    SingleInstance(const QString& folder, const QString& name, QObject* parent = nullptr);

    // True when this is the first running copy; it then listens for later starts.
    bool claim();
    // From a later start: asks the first copy to show its window. False when it did not answer
    // within the time given (it may still be starting).
    bool askFirstToShow(int milliseconds) const;

    QString lockPath() const;
    QString socketPath() const;

    // The user's runtime folder ($XDG_RUNTIME_DIR), or the temporary folder without one.
    static QString RuntimeFolder();

signals:
    // A later start asked this copy to show its window.
    void showRequested();

private:
    QString m_folder;
    QString m_name;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace kestrel
