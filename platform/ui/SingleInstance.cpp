// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace kestrel {

SingleInstance::SingleInstance(const QString& folder, const QString& name, QObject* parent)
    : QObject(parent), m_folder(folder), m_name(name),
      m_lock(folder + QLatin1Char('/') + name + QStringLiteral(".lock"))
{
    // Held for the whole run: the lock is never stale while the program lives.
    m_lock.setStaleLockTime(0);
}

QString SingleInstance::lockPath() const
{
    return m_folder + QLatin1Char('/') + m_name + QStringLiteral(".lock");
}

QString SingleInstance::socketPath() const
{
    return m_folder + QLatin1Char('/') + m_name + QStringLiteral(".socket");
}

QString SingleInstance::RuntimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

bool SingleInstance::claim()
{
    // QLockFile takes over a lock whose process is gone.
    if (!m_lock.tryLock(0)) {
        return false;
    }
    // Holding the lock, any socket there is a killed copy's leftover.
    QLocalServer::removeServer(socketPath());
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            socket->deleteLater();
            emit showRequested();
        }
    });
    // Without the socket the program still runs alone; later starts then only say it runs.
    m_server->listen(socketPath());
    return true;
}

bool SingleInstance::askFirstToShow(int milliseconds) const
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(milliseconds)) {
        return false;
    }
    socket.write("show\n");
    socket.waitForBytesWritten(milliseconds);
    socket.disconnectFromServer();
    return true;
}

} // namespace kestrel
