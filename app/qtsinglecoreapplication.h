#pragma once

#include <QApplication>

class InstanceLock;

// The GUI application object, with one running copy per executable.
class QtSingleCoreApplication : public QApplication
{
    Q_OBJECT
public:
    QtSingleCoreApplication(int &argc, char **argv);
    ~QtSingleCoreApplication() override;

    // True when another copy of this executable runs.
    bool isRunning() const;
    // Sends `message` to the running copy; false on failure or time-out.
    bool sendMessage(const QString &message, int timeout = 5000);
    QString id() const;

    // A data record for the running copy: `tag`, the byte count the sender
    // declares and the bytes themselves.
    static QByteArray encodeCopyData(quint64 tag, quint32 byteCount, const QByteArray &payload);

    InstanceLock *instanceLock() const { return m_lock; }

signals:
    void messageReceived(const QString &message);
    void copyDataReceived(quint64 tag, quint32 byteCount, const QByteArray &payload);

private:
    void receiveCopyData(const QByteArray &frame);

    InstanceLock *m_lock = nullptr;
};
