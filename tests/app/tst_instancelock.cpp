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
    void differentIdsDoNotMeet();
    void messageReachesTheFirstCopy();
    void sendTimesOutWhenTheFirstCopyHangs();
    void lockIsFreedWithTheHolder();

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

void tst_InstanceLock::secondHolderSeesTheFirst()
{
    const QString id = uniqueId();
    InstanceLock first(id);
    QVERIFY(!first.isRunning());
    InstanceLock second(id);
    QVERIFY(second.isRunning());
}

void tst_InstanceLock::differentIdsDoNotMeet()
{
    InstanceLock first(uniqueId());
    InstanceLock other(uniqueId());
    QVERIFY(!first.isRunning());
    QVERIFY(!other.isRunning());
}

void tst_InstanceLock::messageReachesTheFirstCopy()
{
    const QString id = uniqueId();
    InstanceLock first(id);
    QSignalSpy spy(&first, &InstanceLock::received);

    // The second copy blocks while it waits for the answer, so it must not
    // share the first one's thread.
    QFuture<bool> second = QtConcurrent::run([id] {
        InstanceLock lock(id);
        return lock.isRunning() && lock.send(InstanceLock::TextMessage, "hello", 5000);
    });
    QTRY_VERIFY(second.isFinished());
    QVERIFY(second.result());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toUInt(), quint32(InstanceLock::TextMessage));
    QCOMPARE(spy.at(0).at(1).toByteArray(), QByteArray("hello"));

    // An empty message, as a second copy of the program sends it.
    QFuture<bool> third = QtConcurrent::run(
        [id] { return InstanceLock(id).send(InstanceLock::TextMessage, {}, 5000); });
    QTRY_VERIFY(third.isFinished());
    QVERIFY(third.result());
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(1).toByteArray(), QByteArray());
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

void tst_InstanceLock::lockIsFreedWithTheHolder()
{
    const QString id = uniqueId();
    {
        InstanceLock first(id);
        QVERIFY(!first.isRunning());
    }
    InstanceLock next(id);
    QVERIFY(!next.isRunning());
}

QTEST_GUILESS_MAIN(tst_InstanceLock)
#include "tst_instancelock.moc"
