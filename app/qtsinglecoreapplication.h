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

    InstanceLock *instanceLock() const { return m_lock; }

signals:
    void messageReceived(const QString &message);

private:
    InstanceLock *m_lock = nullptr;
};
