// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <memory>

namespace kestrel {

// One running copy of a program per user session. The first start holds a lock on a file in the
// runtime folder and listens on a local socket beside it; a later start finds the lock held and
// asks the first, through the socket, to show its window. The lock is the system's lock on the
// open file, which ends with the process that held it: a lock file left by a killed copy, an
// empty one or one holding anything else is taken over. A lock file, socket or folder that
// another user owns is never used, whatever the permissions would allow.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Claim
    {
        First,   // this is the first running copy; it now listens for later starts
        Running, // a live copy of this user holds the lock
        Failed,  // no lock can be had: problem() says why
    };

    // `folder` is the runtime folder (RuntimeFolder() outside tests), `name` the program's.
    SingleInstance(const QString& folder, const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock when no live copy holds it.
    Claim claim();
    // Why the last claim failed, naming the file or folder and the reason.
    QString problem() const { return m_problem; }
    // From a later start: asks the first copy to show its window. False when it did not answer
    // within the time given (it may still be starting) or when the socket is not this user's.
    bool askFirstToShow(int milliseconds) const;

    // Whether a live copy holds the lock of `name` in `folder`, without taking it.
    static bool IsHeld(const QString& folder, const QString& name);
    // Asks the copy holding the lock of `name` to close, as its "&Close" does. False when it did not
    // answer within the time given.
    static bool AskToClose(const QString& folder, const QString& name, int milliseconds);

    // The user's runtime folder ($XDG_RUNTIME_DIR); without one, a folder of this user's own in
    // the temporary folder (kestrel-UID), made when missing, so that no other user's lock counts.
    static QString RuntimeFolder();

signals:
    // A later start asked this copy to show its window.
    void showRequested();
    // Another copy (deleting or renaming this one's countdown) asked this one to close.
    void closeRequested();

private:
    Claim fail(const QString& problem);
    void listen();
    // The socket the first copy listens on, beside its lock file.
    QString socketPath() const;

    QString m_folder;
    QString m_name;
    int m_lockFile = -1; // open and locked while this copy is the first
    QString m_problem;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace kestrel
