#include "instancelock.h"

#include "applog.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
constexpr char ack = '\x06';

// Kind and payload length come first, big-endian, as QDataStream writes
// them; a null payload has the length 0xFFFFFFFF.
constexpr qint64 headerSize = 8;

QByteArray frame(quint32 kind, const QByteArray &payload)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kind << payload;
    return bytes;
}
} // namespace

InstanceLock::InstanceLock(const QString &id, QObject *parent) : QObject(parent), m_id(id)
{
    acquire();
}

InstanceLock::~InstanceLock()
{
    if (m_server)
        m_server->close();
    if (m_lock)
        m_lock->unlock();
}

QString InstanceLock::idForExecutable(const QString &executablePath)
{
    const QString canonical = QFileInfo(executablePath).canonicalFilePath();
    const QByteArray path = (canonical.isEmpty() ? executablePath : canonical).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex();
    QString id = QStringLiteral("skarn-config-") + QString::fromLatin1(hash.left(16));
#ifdef Q_OS_UNIX
    // Per user: other users' copies are not ours to talk to.
    id += QLatin1Char('-') + QString::number(::getuid());
#endif
    return id;
}

QString InstanceLock::runtimeFolder()
{
    // $XDG_RUNTIME_DIR when it is the user's own (mode 0700), otherwise a
    // folder Qt creates for this user alone. Qt gives up when someone else
    // holds that folder; the user's cache folder is then the place, never
    // the shared temporary folder.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime;
    const QString own = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                        QStringLiteral("/skarn-config-runtime");
    QDir().mkpath(own);
    QFile::setPermissions(own,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return own;
}

QString InstanceLock::serverName() const
{
#ifdef Q_OS_UNIX
    // A full path puts the socket beside the lock rather than in /tmp.
    return runtimeFolder() + QLatin1Char('/') + m_id + QStringLiteral(".socket");
#else
    return m_id;
#endif
}

void InstanceLock::acquire()
{
    m_lock = std::make_unique<QLockFile>(runtimeFolder() + QLatin1Char('/') + m_id + ".lock");
    // Only a lock whose process is gone is stale; a long-running first copy
    // must keep its lock however old the file is.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError) {
            m_primary = false;
            return;
        }
        // The lock cannot even be written (no runtime folder): run anyway
        // rather than refuse to start.
        qCWarning(lcApp) << "Single-instance lock unavailable:" << m_lock->error();
    }
    m_primary = true;

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->setMaxPendingConnections(maxConnections);
    if (!m_server->listen(serverName())) {
        // A socket left by a crashed copy; we hold the lock, so it is stale.
        QLocalServer::removeServer(serverName());
        if (!m_server->listen(serverName()))
            qCWarning(lcApp) << "Single-instance server:" << m_server->errorString();
    }
    connect(m_server, &QLocalServer::newConnection, this, &InstanceLock::onNewConnection);
}

void InstanceLock::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        if (!makeRoomFor(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // Runs while the client owes us a frame; stopped while its request
        // is in hand and started again once our answer has gone out.
        auto *idle = new QTimer(socket);
        idle->setSingleShot(true);
        idle->setInterval(m_idleTimeoutMs);
        connect(idle, &QTimer::timeout, socket, [socket] {
            qCDebug(lcApp) << "Idle single-instance connection closed";
            socket->abort();
        });
        idle->start();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrames(socket); });
        connect(socket, &QLocalSocket::bytesWritten, idle, [idle] { idle->start(); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0)
            readFrames(socket);
    }
}

bool InstanceLock::makeRoomFor(QLocalSocket *newcomer)
{
    // Children come in the order they connected: the oldest first.
    QList<QLocalSocket *> open;
    for (QLocalSocket *socket :
         m_server->findChildren<QLocalSocket *>(Qt::FindDirectChildrenOnly)) {
        if (socket != newcomer && socket->state() == QLocalSocket::ConnectedState)
            open.append(socket);
    }
    if (open.size() < maxConnections)
        return true;
    // A client that has sent nothing yet gives way to one that is about
    // to: otherwise a program holding every connection open, and
    // opening another as each is closed, would shut every command out.
    for (QLocalSocket *socket : std::as_const(open)) {
        const auto *idle = socket->findChild<QTimer *>();
        if (idle && idle->isActive() && socket->bytesAvailable() == 0 &&
            socket->bytesToWrite() == 0) {
            qCDebug(lcApp) << "Oldest idle single-instance connection closed for a new one";
            socket->abort();
            return true;
        }
    }
    return false;
}

void InstanceLock::readFrames(QLocalSocket *socket)
{
    while (socket->state() == QLocalSocket::ConnectedState &&
           socket->bytesAvailable() >= headerSize) {
        // The declared length decides before anything is buffered: a frame
        // beyond the largest record ends the connection at once.
        const QByteArray header = socket->peek(headerSize);
        const quint32 length = qFromBigEndian<quint32>(header.constData() + 4);
        const quint32 payloadSize = length == 0xFFFFFFFFu ? 0 : length;
        if (payloadSize > maxPayload) {
            qCWarning(lcApp) << "Oversize single-instance frame refused:" << payloadSize << "bytes";
            socket->abort();
            return;
        }
        if (socket->bytesAvailable() < headerSize + payloadSize)
            return; // wait for the rest of the frame
        QDataStream in(socket);
        quint32 kind = 0;
        QByteArray payload;
        in >> kind >> payload;
        if (auto *idle = socket->findChild<QTimer *>())
            idle->stop();
        if (kind == Command) {
            // The command may wait seconds for the mouse; the client may be
            // gone by the time it answers. Its idle clock stays stopped until
            // the reply has been written.
            const QPointer<QLocalSocket> guard(socket);
            const Reply reply = [guard](const QByteArray &record) {
                if (!guard || guard->state() != QLocalSocket::ConnectedState)
                    return;
                QDataStream out(guard.data());
                out << record;
                guard->flush();
            };
            if (m_commandHandler)
                m_commandHandler(payload, reply);
            else
                reply({});
            continue;
        }
        socket->write(&ack, 1);
        socket->flush();
        emit received(kind, payload);
    }
}

bool InstanceLock::sendFrame(QLocalSocket &socket, quint32 kind, const QByteArray &payload,
                             const QDeadlineTimer &deadline) const
{
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(frame(kind, payload));
    return socket.waitForBytesWritten(int(deadline.remainingTime()));
}

bool InstanceLock::send(quint32 kind, const QByteArray &payload, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    if (!sendFrame(socket, kind, payload, deadline))
        return false;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    char reply = 0;
    return socket.read(&reply, 1) == 1 && reply == ack;
}

bool InstanceLock::request(const QByteArray &payload, QByteArray *reply, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    if (!sendFrame(socket, Command, payload, deadline))
        return false;
    QDataStream in(&socket);
    for (;;) {
        in.startTransaction();
        QByteArray answer;
        in >> answer;
        if (in.commitTransaction()) {
            *reply = answer;
            return true;
        }
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
}
