#include "qtsinglecoreapplication.h"

#include "instancelock.h"

QtSingleCoreApplication::QtSingleCoreApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    m_lock = new InstanceLock(InstanceLock::idForExecutable(applicationFilePath()), this);
    connect(m_lock, &InstanceLock::received, this, [this](quint32 kind, const QByteArray &payload) {
        if (kind == InstanceLock::TextMessage)
            emit messageReceived(QString::fromUtf8(payload));
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
