#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QDeadlineTimer;
class QLocalSocket;
class QLockFile;

// One running copy per id. The first copy holds a lock file and listens on a
// local socket, both in the user's own runtime folder where no other user
// can put a file first; later copies find the lock taken and can send the
// first one a message. A lock left by a crashed copy is recognised as stale
// (its process is gone) and taken over.
//
// Any local program of the user may connect, so the first copy trusts no
// frame: one larger than the largest valid record closes the connection,
// as does a client that keeps it open without finishing a frame; only a few
// connections are served at once.
class InstanceLock : public QObject
{
    Q_OBJECT
public:
    // Frame kinds on the socket.
    enum Kind : quint32 { TextMessage = 0, CopyData = 1, Command = 2 };
    // Carries out a Command frame and hands the reply record to `reply`,
    // once it has it (the command may wait for the mouse).
    using Reply = std::function<void(const QByteArray &record)>;
    using CommandHandler = std::function<void(const QByteArray &request, const Reply &reply)>;
    // The largest payload a frame may carry; records hold short texts,
    // paths and arguments, never file contents.
    static constexpr quint32 maxPayload = 8192;
    static constexpr int maxConnections = 8;

    explicit InstanceLock(const QString &id, QObject *parent = nullptr);
    ~InstanceLock() override;

    // The id for an executable: two copies of the same file share it,
    // copies in different folders do not.
    static QString idForExecutable(const QString &executablePath);

    // The user-only folder of the lock file and, on Unix, the socket.
    static QString runtimeFolder();

    // What clients connect to: on Unix the socket's full path.
    QString serverName() const;

    // True when another copy holds the lock.
    bool isRunning() const { return !m_primary; }
    QString id() const { return m_id; }

    // Sends a frame to the running copy and waits for its acknowledgement.
    bool send(quint32 kind, const QByteArray &payload, int timeoutMs);
    // Sends a Command frame and waits for the running copy's reply record
    // instead of an acknowledgement: the command runs before it answers.
    bool request(const QByteArray &payload, QByteArray *reply, int timeoutMs);
    void setCommandHandler(CommandHandler handler) { m_commandHandler = std::move(handler); }

    // How long a client may leave the first copy waiting for (the rest of)
    // a frame. The clock stops when a complete frame arrives and starts
    // again once an answer has been written to the client, so a client
    // awaiting a slow answer is never idle.
    void setIdleTimeout(int milliseconds) { m_idleTimeoutMs = milliseconds; }

signals:
    void received(quint32 kind, const QByteArray &payload);

private:
    void acquire();
    void onNewConnection();
    // Whether `newcomer` may stay: there is a free connection, or the
    // oldest idle one was closed for it.
    bool makeRoomFor(QLocalSocket *newcomer);
    void readFrames(QLocalSocket *socket);
    // Connects to the running copy and writes one frame, within `deadline`.
    bool sendFrame(QLocalSocket &socket, quint32 kind, const QByteArray &payload,
                   const QDeadlineTimer &deadline) const;

    QString m_id;
    int m_idleTimeoutMs = 10000;
    bool m_primary = false;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    CommandHandler m_commandHandler;
};
