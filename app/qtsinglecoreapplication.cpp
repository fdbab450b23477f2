#include "qtsinglecoreapplication.h"

#include "applog.h"
#include "instancelock.h"

#include <QDataStream>
#include <QDebug>
#include <QIODevice>

QtSingleCoreApplication::QtSingleCoreApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    m_lock = new InstanceLock(InstanceLock::idForExecutable(applicationFilePath()), this);
    connect(m_lock, &InstanceLock::received, this, [this](quint32 kind, const QByteArray &payload) {
        if (kind == InstanceLock::TextMessage)
            emit messageReceived(QString::fromUtf8(payload));
        else if (kind == InstanceLock::CopyData)
            receiveCopyData(payload);
    });
}

QtSingleCoreApplication::~QtSingleCoreApplication() = default;

bool QtSingleCoreApplication::isRunning() const
{
    return m_lock->isRunning();
}

bool QtSingleCoreApplication::sendMessage(const QString &message, int timeout)
{
    return m_lock->send(InstanceLock::TextMessage, message.toUtf8(), timeout);
}

QString QtSingleCoreApplication::id() const
{
    return m_lock->id();
}

QByteArray QtSingleCoreApplication::encodeCopyData(quint64 tag, quint32 byteCount,
                                                   const QByteArray &payload)
{
    QByteArray frame;
    QDataStream out(&frame, QIODevice::WriteOnly);
    out << tag << byteCount << payload;
    return frame;
}

void QtSingleCoreApplication::receiveCopyData(const QByteArray &frame)
{
    QDataStream in(frame);
    quint64 tag = 0;
    quint32 byteCount = 0;
    QByteArray payload;
    in >> tag >> byteCount >> payload;
    if (in.status() != QDataStream::Ok || !in.atEnd()) {
        qCDebug(lcApp) << "Malformed copy-data record ignored";
        return;
    }
    emit copyDataReceived(tag, byteCount, payload);
}
