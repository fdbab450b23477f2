#include "instancelock.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
constexpr char ack = '\x06';

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

void InstanceLock::acquire()
{
    m_lock = std::make_unique<QLockFile>(QDir::tempPath() + QLatin1Char('/') + m_id + ".lock");
    // Only a lock whose process is gone is stale; a long-running first copy
    // must keep its lock however old the file is.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError) {
            m_primary = false;
            return;
        }
        // The lock cannot even be written (no temporary folder): run anyway
        // rather than refuse to start.
        qWarning() << "Single-instance lock unavailable:" << m_lock->error();
    }
    m_primary = true;

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_id)) {
        // A socket left by a crashed copy; we hold the lock, so it is stale.
        QLocalServer::removeServer(m_id);
        if (!m_server->listen(m_id))
            qWarning() << "Single-instance server:" << m_server->errorString();
    }
    connect(m_server, &QLocalServer::newConnection, this, &InstanceLock::onNewConnection);
}

void InstanceLock::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrame(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0)
            readFrame(socket);
    }
}

void InstanceLock::readFrame(QLocalSocket *socket)
{
    QDataStream in(socket);
    in.startTransaction();
    quint32 kind = 0;
    QByteArray payload;
    in >> kind >> payload;
    if (!in.commitTransaction())
        return; // wait for the rest of the frame
    if (kind == Command) {
        // The command may take seconds of device traffic and lets events
        // run meanwhile; the client may be gone by the time it answers.
        QPointer<QLocalSocket> guard(socket);
        const QByteArray reply = m_commandHandler ? m_commandHandler(payload) : QByteArray();
        if (!guard)
            return;
        QDataStream out(socket);
        out << reply;
        socket->flush();
        return;
    }
    socket->write(&ack, 1);
    socket->flush();
    emit received(kind, payload);
}

bool InstanceLock::send(quint32 kind, const QByteArray &payload, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(m_id);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(frame(kind, payload));
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
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
    socket.connectToServer(m_id);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(frame(Command, payload));
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
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
