#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// One running copy per id. The first copy holds a lock file and listens on a
// local socket; later copies find the lock taken and can send the first one
// a message. A lock left by a crashed copy is recognised as stale (its
// process is gone) and taken over.
class InstanceLock : public QObject
{
    Q_OBJECT
public:
    // Frame kinds on the socket.
    enum Kind : quint32 { TextMessage = 0, CopyData = 1, Command = 2 };
    // Carries out a Command frame and gives the reply record.
    using CommandHandler = std::function<QByteArray(const QByteArray &request)>;

    explicit InstanceLock(const QString &id, QObject *parent = nullptr);
    ~InstanceLock() override;

    // The id for an executable: two copies of the same file share it,
    // copies in different folders do not.
    static QString idForExecutable(const QString &executablePath);

    // True when another copy holds the lock.
    bool isRunning() const { return !m_primary; }
    QString id() const { return m_id; }

    // Sends a frame to the running copy and waits for its acknowledgement.
    bool send(quint32 kind, const QByteArray &payload, int timeoutMs);
    // Sends a Command frame and waits for the running copy's reply record
    // instead of an acknowledgement: the command runs before it answers.
    bool request(const QByteArray &payload, QByteArray *reply, int timeoutMs);
    void setCommandHandler(CommandHandler handler) { m_commandHandler = std::move(handler); }

signals:
    void received(quint32 kind, const QByteArray &payload);

private:
    void acquire();
    void onNewConnection();
    void readFrame(QLocalSocket *socket);

    QString m_id;
    bool m_primary = false;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    CommandHandler m_commandHandler;
};
