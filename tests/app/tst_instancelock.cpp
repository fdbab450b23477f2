#include "instancelock.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <QtConcurrent>
#include <QtEndian>
#include <memory>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

class tst_InstanceLock : public QObject
{
    Q_OBJECT

private slots:
    // The user's runtime folder, as the session gives it (mode 0700).
    void initTestCase() { qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8()); }
    // Neither another user's lock and socket under the old /tmp names nor a crashed copy's
    // leftovers stop the next copy or its messages. First, before any thread runs (fork).
    void leftoversDoNotBlock()
    {
        const QString id = uniqueId();
        const pid_t crashed = fork();
        if (crashed == 0) {
            InstanceLock lock(id);
            _exit(lock.isRunning() ? 1 : 0); // no clean-up
        }
        int status = -1;
        QCOMPARE(waitpid(crashed, &status, 0), crashed);
        QCOMPARE(status, 0);
        QLockFile foreignLock(QDir::tempPath() + "/" + id + ".lock");
        QLocalServer foreignSocket;
        QVERIFY(foreignLock.tryLock(0) && foreignSocket.listen(id));
        InstanceLock first(id);
        QVERIFY(!first.isRunning());
        QCOMPARE(first.serverName(), m_runtime.filePath(id + ".socket"));
        QSignalSpy spy(&first, &InstanceLock::received);
        QVERIFY(sendFromAnotherCopy(id, "back", 5000));
        QCOMPARE(spy.count(), 1);
        QVERIFY(!foreignSocket.hasPendingConnections());
    }
    // The id follows the executable's path. Held per id, freed with its holder; a first copy
    // that does not return to its event loop lets the send fail.
    void messageReachesTheFirstCopy()
    {
        const QString a = InstanceLock::idForExecutable("/opt/a/skarn-config");
        QCOMPARE(InstanceLock::idForExecutable("/opt/a/skarn-config"), a);
        QVERIFY(InstanceLock::idForExecutable("/opt/b/skarn-config") != a && !a.contains('/'));
        const QString id = uniqueId();
        {
            InstanceLock first(id);
            QVERIFY(!InstanceLock(uniqueId()).isRunning());
            QSignalSpy spy(&first, &InstanceLock::received);
            for (const QByteArray &payload : {QByteArray("hello"), QByteArray()})
                QVERIFY(sendFromAnotherCopy(id, payload, 5000));
            const QVariant text = quint32(InstanceLock::TextMessage);
            QCOMPARE(QList<QVariantList>(spy),
                     (QList<QVariantList>{{text, QByteArray("hello")}, {text, QByteArray()}}));
            QFuture<bool> hung = QtConcurrent::run(
                [id] { return InstanceLock(id).send(InstanceLock::TextMessage, "x", 300); });
            QVERIFY(!hung.result());
        }
        QVERIFY(!InstanceLock(id).isRunning());
    }
    // Whatever a local program writes is closed quickly without a message, and a real second
    // copy still gets through afterwards; a burst of valid frames is answered frame by frame.
    void hostileClientsAreCutOff_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("connections");
        QTest::addColumn<int>("messages");
        const auto header = [](quint32 kind, quint32 length) {
            QByteArray bytes(8, '\0');
            qToBigEndian(kind, bytes.data());
            qToBigEndian(length, bytes.data() + 4);
            return bytes;
        };
        QByteArray valid = header(0, 2) + "ok";
        QTest::newRow("just over the largest record")
            << header(1, InstanceLock::maxPayload + 1) << 1 << 0;
        QTest::newRow("largest record")
            << header(1, InstanceLock::maxPayload) + QByteArray(int(InstanceLock::maxPayload), 'x')
            << 1 << 1;
        QTest::newRow("half a frame") << valid.left(9) << 1 << 0;
        QTest::newRow("crowd") << QByteArray() << 40 << 0;
        QTest::newRow("full house, each served")
            << valid << int(InstanceLock::maxConnections) << int(InstanceLock::maxConnections);
        QTest::newRow("burst of frames") << valid.repeated(200) << 1 << 200;
    }
    void hostileClientsAreCutOff()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, connections);
        QFETCH(int, messages);
        const QString id = uniqueId();
        InstanceLock first(id);
        first.setIdleTimeout(300);
        QSignalSpy spy(&first, &InstanceLock::received);
        std::vector<std::unique_ptr<QLocalSocket>> clients;
        int closed = 0;
        for (int i = 0; i < connections; ++i) {
            const auto &client = clients.emplace_back(std::make_unique<QLocalSocket>());
            connect(client.get(), &QLocalSocket::disconnected, this, [&closed] { ++closed; });
            client->connectToServer(first.serverName());
            QVERIFY(client->waitForConnected(1000));
            client->write(bytes);
            client->flush();
        }
        QTRY_COMPARE_WITH_TIMEOUT(closed, connections, 3000);
        QCOMPARE(spy.count(), messages);
        if (messages)
            QCOMPARE(clients.front()->readAll(), QByteArray(messages / connections, '\x06'));

        QVERIFY(sendFromAnotherCopy(id, "back", 5000));
        QCOMPARE(spy.count(), messages + 1);
    }

    // Connections held open without a word do not shut a request out: the oldest gives way.
    void idleConnectionsGiveWay()
    {
        const QString id = uniqueId();
        InstanceLock first(id);
        std::vector<std::unique_ptr<QLocalSocket>> idle(InstanceLock::maxConnections);
        for (auto &client : idle) {
            client = std::make_unique<QLocalSocket>();
            client->connectToServer(first.serverName());
            QVERIFY(client->waitForConnected(1000));
        }
        QVERIFY(sendFromAnotherCopy(id, "through", 5000));
        QTRY_COMPARE(idle.front()->state(), QLocalSocket::UnconnectedState);
        QCOMPARE(idle.back()->state(), QLocalSocket::ConnectedState);
    }

private:
    QTemporaryDir m_runtime;
    static QString uniqueId() { return "skarn-test-" + QUuid::createUuid().toString(QUuid::Id128); }
    // The sender blocks while it waits for the answer: not on the first copy's thread.
    static bool sendFromAnotherCopy(const QString &id, const QByteArray &payload, int timeout)
    {
        QFuture<bool> sent = QtConcurrent::run([id, payload, timeout] {
            InstanceLock second(id);
            return second.isRunning() && second.send(InstanceLock::TextMessage, payload, timeout);
        });
        return QTest::qWaitFor([&] { return sent.isFinished(); }, 60000) && sent.result();
    }
};

QTEST_GUILESS_MAIN(tst_InstanceLock)
#include "tst_instancelock.moc"
