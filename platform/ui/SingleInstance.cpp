// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QSysInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {

namespace {

QString Reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Whether a file or folder exists at path and belongs to another user; the owner's id is put in
// `owner`. A path that cannot be looked at counts as not there.
bool OwnedByAnother(const QString& path, uid_t& owner)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0) {
        return false;
    }
    owner = status.st_uid;
    return status.st_uid != ::geteuid();
}

} // namespace

SingleInstance::SingleInstance(const QString& folder, const QString& name, QObject* parent)
    : QObject(parent), m_folder(folder), m_name(name)
{}

SingleInstance::~SingleInstance()
{
    m_server.reset();
    if (m_lockFile >= 0) {
        // The file stays: removing it could let two later starts lock two different files.
        ::close(m_lockFile);
    }
}

QString SingleInstance::socketPath() const
{
    return m_folder + QLatin1Char('/') + m_name + QStringLiteral(".socket");
}

QString SingleInstance::RuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Qt checks that the folder is the user's and private.
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!folder.isEmpty()) {
            return folder;
        }
    }
    // The temporary folder is shared by every user: a folder of our own in it, never the folder
    // itself. One that exists already is checked by its owner when the lock is claimed.
    const QString folder = QDir::tempPath() + QStringLiteral("/kestrel-%1").arg(::geteuid());
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return folder;
}

SingleInstance::Claim SingleInstance::fail(const QString& problem)
{
    m_problem = problem;
    return Claim::Failed;
}

SingleInstance::Claim SingleInstance::claim()
{
    if (m_lockFile >= 0) {
        return Claim::First;
    }
    m_problem.clear();
    uid_t owner = 0;
    // The folder, and the folder a link there leads to, must both be this user's.
    struct stat folderStatus = {};
    if (OwnedByAnother(m_folder, owner)) {
        return fail(QStringLiteral("the folder %1 belongs to another user (user id %2)").arg(m_folder).arg(owner));
    }
    if (::stat(QFile::encodeName(m_folder).constData(), &folderStatus) != 0) {
        return fail(QStringLiteral("the folder %1 cannot be used: %2").arg(m_folder, Reason(errno)));
    }
    if (!S_ISDIR(folderStatus.st_mode) || folderStatus.st_uid != ::geteuid()) {
        return fail(QStringLiteral("the folder %1 is not a folder of this user").arg(m_folder));
    }
    const QString path = m_folder + QLatin1Char('/') + m_name + QStringLiteral(".lock");
    if (OwnedByAnother(path, owner)) {
        return fail(QStringLiteral("the lock file %1 belongs to another user (user id %2)").arg(path).arg(owner));
    }
    const int file = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (file < 0) {
        return fail(QStringLiteral("the lock file %1 cannot be made: %2").arg(path, Reason(errno)));
    }
    struct stat status = {};
    if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) {
        ::close(file);
        return fail(QStringLiteral("the lock file %1 is not a file of this user").arg(path));
    }
    if (::flock(file, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(file);
        if (error == EWOULDBLOCK) {
            return Claim::Running;
        }
        return fail(QStringLiteral("the lock file %1 cannot be locked: %2").arg(path, Reason(error)));
    }
    m_lockFile = file;
    // Who holds it, for a person looking (in the form QLockFile writes). A full disk leaves the
    // file empty, which does not matter: the lock is what counts.
    const QByteArray holder = QByteArray::number(static_cast<qint64>(::getpid())) + '\n' + m_name.toUtf8() + '\n' +
                              QSysInfo::machineHostName().toUtf8() + '\n';
    if (::ftruncate(file, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::pwrite(file, holder.constData(), holder.size(), 0);
    }
    listen();
    return Claim::First;
}

void SingleInstance::listen()
{
    uid_t owner = 0;
    if (OwnedByAnother(socketPath(), owner)) {
        // Not ours to remove or to replace: the program runs alone, and later starts, which do
        // not talk to another user's socket, say that it runs.
        return;
    }
    // Holding the lock, any socket there is a killed copy's leftover.
    QLocalServer::removeServer(socketPath());
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            // The request is one line, "show" or "close"; a start that closes without a line asks
            // to be shown, as every start did before there were other requests.
            const auto answer = [this, socket] {
                if (socket->property("answered").toBool()) {
                    return;
                }
                const bool whole = socket->canReadLine() || socket->state() != QLocalSocket::ConnectedState;
                if (!whole) {
                    return;
                }
                socket->setProperty("answered", true);
                const QByteArray request = socket->readLine().trimmed();
                QObject::disconnect(socket, nullptr, this, nullptr);
                socket->deleteLater();
                if (request == "close") {
                    emit closeRequested();
                } else {
                    emit showRequested();
                }
            };
            connect(socket, &QLocalSocket::readyRead, this, answer);
            connect(socket, &QLocalSocket::disconnected, this, answer);
            answer();
        }
    });
    // Without the socket (a full folder) the program still runs alone.
    m_server->listen(socketPath());
}

bool SingleInstance::IsHeld(const QString& folder, const QString& name)
{
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".lock");
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (file < 0) {
        return false;
    }
    const bool held = ::flock(file, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(file);
    return held;
}

bool SingleInstance::AskToClose(const QString& folder, const QString& name, int milliseconds)
{
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".socket");
    uid_t owner = 0;
    if (OwnedByAnother(path, owner)) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(milliseconds)) {
        return false;
    }
    socket.write("close\n");
    const bool written = socket.waitForBytesWritten(milliseconds);
    socket.disconnectFromServer();
    return written;
}

bool SingleInstance::askFirstToShow(int milliseconds) const
{
    uid_t owner = 0;
    if (OwnedByAnother(socketPath(), owner)) {
        return false;
    }
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
