#include "instancelock.h"

#include <QSignalSpy>
#include <QTest>
#include <QUuid>
#include <QtConcurrent>

class tst_InstanceLock : public QObject
{
    Q_OBJECT

private slots:
    void idFollowsTheExecutablePath();
    void secondHolderSeesTheFirst();
    void messageReachesTheFirstCopy();
    void sendTimesOutWhenTheFirstCopyHangs();

private:
    static QString uniqueId() { return "skarn-test-" + QUuid::createUuid().toString(QUuid::Id128); }
};

void tst_InstanceLock::idFollowsTheExecutablePath()
{
    const QString a = InstanceLock::idForExecutable("/opt/a/skarn-config");
    QCOMPARE(InstanceLock::idForExecutable("/opt/a/skarn-config"), a);
    QVERIFY(InstanceLock::idForExecutable("/opt/b/skarn-config") != a);
    // The id names a lock file and a socket: no separators.
    QVERIFY(!a.contains('/'));
}

// Held per id, and freed with its holder.
void tst_InstanceLock::secondHolderSeesTheFirst()
{
    const QString id = uniqueId();
    {
        InstanceLock first(id);
        QVERIFY(!first.isRunning());
        QVERIFY(InstanceLock(id).isRunning());
        QVERIFY(!InstanceLock(uniqueId()).isRunning());
    }
    QVERIFY(!InstanceLock(id).isRunning());
}

void tst_InstanceLock::messageReachesTheFirstCopy()
{
    const QString id = uniqueId();
    InstanceLock first(id);
    QSignalSpy spy(&first, &InstanceLock::received);
    // An empty message is what a second copy of the program sends.
    for (const QByteArray &payload : {QByteArray("hello"), QByteArray()}) {
        // The sender blocks while it waits for the answer, so it must not
        // share the first copy's thread.
        QFuture<bool> sent = QtConcurrent::run([id, payload] {
            return InstanceLock(id).send(InstanceLock::TextMessage, payload, 5000);
        });
        QTRY_VERIFY(sent.isFinished());
        QVERIFY(sent.result());
        QCOMPARE(spy.count(), 1);
        const QList<QVariant> arguments = spy.takeFirst();
        QCOMPARE(arguments.at(0).toUInt(), quint32(InstanceLock::TextMessage));
        QCOMPARE(arguments.at(1).toByteArray(), payload);
    }
}

void tst_InstanceLock::sendTimesOutWhenTheFirstCopyHangs()
{
    const QString id = uniqueId();
    InstanceLock first(id);
    QElapsedTimer timer;
    timer.start();
    // This thread does not return to its event loop, so nobody answers.
    QFuture<bool> send = QtConcurrent::run(
        [id] { return InstanceLock(id).send(InstanceLock::TextMessage, "x", 300); });
    send.waitForFinished();
    QVERIFY(!send.result());
    QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
}

QTEST_GUILESS_MAIN(tst_InstanceLock)
#include "tst_instancelock.moc"
