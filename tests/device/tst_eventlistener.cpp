#include "devicelinkhost.h"
#include "linkrig.h"
#include "linkstate.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QTest>
#include <QThread>

// Records what the listener asks of the window, and on which thread.
class RecordingHost : public DeviceLinkHost
{
public:
    void setCurrentDPI(int stage) override
    {
        QMutexLocker lock(&mutex);
        calls << QStringLiteral("setCurrentDPI %1").arg(stage);
        dpiOnGuiThread = QThread::currentThread() == qApp->thread();
    }
    void disableView() override
    {
        QMutexLocker lock(&mutex);
        calls << QStringLiteral("disableView");
        effectsOnGuiThread &= QThread::currentThread() == qApp->thread();
    }
    void showTrayMessage(const QString &title, const QString &text) override
    {
        QMutexLocker lock(&mutex);
        calls << QStringLiteral("balloon %1|%2").arg(title, text);
        effectsOnGuiThread &= QThread::currentThread() == qApp->thread();
    }
    QStringList recorded()
    {
        QMutexLocker lock(&mutex);
        return calls;
    }

    QMutex mutex;
    QStringList calls;
    bool dpiOnGuiThread = true;
    bool effectsOnGuiThread = true;
};

class tst_EventListener : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startEnablesEventReports_data();
    void startEnablesEventReports();
    void dpiEventReachesSceneAndBalloon_data();
    void dpiEventReachesSceneAndBalloon();
    void otherReportsChangeNothing();
    void noEventsBeforeTheListenerEnablesThem();
    void removalIsNoticedWithinHalfASecond();
    void stopEndsTheLoopAfterTheRead();
    void entryWithoutEventInterface();
};

void tst_EventListener::initTestCase()
{
    for (int k = 0; k < 8; ++k)
        dpiSwitchText[k] = QStringLiteral("Stage %1").arg(k + 1);
}

void tst_EventListener::startEnablesEventReports_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QStringList>("reports");
    // The option read back, one bit set, the rest kept.
    QTest::newRow("553") << 553
                         << QStringList{"00 83 00 00 00 00 00 00 7c", "00 03 11 22 33 44 00 00 52"};
    QTest::newRow("560") << 560
                         << QStringList{"00 81 00 00 00 00 00 00 7e", "00 01 19 22 00 00 00 00 c3"};
}

void tst_EventListener::startEnablesEventReports()
{
    QFETCH(int, family);
    QFETCH(QStringList, reports);
    LinkRig rig(family, true);
    QVERIFY(rig.confirm());
    if (family == 560)
        rig.link.hid560_01H_SetKeyboardoption(0x11, 0x22);
    else
        rig.link.hid553_03H_SetKeyboardoption(0x11, 0x22, 0x33, 0x04);
    rig.mouse->clearRecord();
    QVERIFY(!rig.mouse->eventReportsEnabled());

    rig.link.startEventListener(0);
    QVERIFY(rig.link.isListening());
    QStringList sent;
    for (const QByteArray &r : rig.mouse->commands())
        sent << QString::fromLatin1(r.toHex(' '));
    QCOMPARE(sent, reports);
    QVERIFY(rig.mouse->eventReportsEnabled());
    rig.link.stopEventListener();
    QVERIFY(!rig.link.isListening());
}

void tst_EventListener::dpiEventReachesSceneAndBalloon_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<QString>("text");
    QTest::newRow("stage 3") << 3 << "Stage 3 ";
    QTest::newRow("stage 1") << 1 << "Stage 1 ";
    QTest::newRow("stage 0") << 0 << "Stage 8 ";
    QTest::newRow("stage 9") << 9 << "Stage 8 ";
}

void tst_EventListener::dpiEventReachesSceneAndBalloon()
{
    QFETCH(int, stage);
    QFETCH(QString, text);
    LinkRig rig(553, true);
    RecordingHost host;
    rig.link.setHost(&host);
    QVERIFY(rig.confirm());
    rig.link.startEventListener(0);
    QVERIFY(rig.mouse->pressDpiButton(stage));

    const QStringList expected{QStringLiteral("setCurrentDPI %1").arg(stage),
                               QStringLiteral("balloon Info|") + text};
    QTRY_COMPARE(host.recorded(), expected);
    QVERIFY(host.effectsOnGuiThread);
    rig.link.requestStop();
    rig.mouse->unplug();
    rig.link.stopEventListener();
}

void tst_EventListener::otherReportsChangeNothing()
{
    LinkRig rig(560, true);
    RecordingHost host;
    rig.link.setHost(&host);
    QVERIFY(rig.confirm());
    rig.link.startEventListener(0);
    for (const char *hex : {"05070003", "06080003", "060700"})
        rig.mouse->sendEventReport(QByteArray::fromHex(hex));
    rig.mouse->sendEventReport(QByteArray::fromHex("06070002"));
    QTRY_COMPARE(host.recorded().size(), 2);
    QTest::qWait(50);
    QCOMPARE(host.recorded(), (QStringList{"setCurrentDPI 2", "balloon Info|Stage 2 "}));
    rig.link.requestStop();
    rig.mouse->unplug();
    rig.link.stopEventListener();
}

void tst_EventListener::noEventsBeforeTheListenerEnablesThem()
{
    LinkRig rig(553, true);
    QVERIFY(rig.confirm());
    QVERIFY(!rig.mouse->pressDpiButton(2));
    rig.link.startEventListener(0);
    QVERIFY(rig.mouse->pressDpiButton(2));
    rig.link.requestStop();
    rig.mouse->unplug();
    rig.link.stopEventListener();
}

void tst_EventListener::removalIsNoticedWithinHalfASecond()
{
    LinkRig rig(553, true);
    RecordingHost host;
    rig.link.setHost(&host);
    QVERIFY(rig.confirm());
    rig.link.startEventListener(0);
    QTest::qWait(100); // the listener waits in its read

    QTest::ignoreMessage(QtDebugMsg, "Device removed");
    QElapsedTimer clock;
    clock.start();
    rig.mouse->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!rig.link.isListening(), 2000);
    const qint64 noticed = clock.elapsed();
    QVERIFY2(noticed < 800, qPrintable(QString::number(noticed)));
    QTRY_COMPARE(host.recorded(), QStringList{"disableView"});
    QVERIFY(host.effectsOnGuiThread);
    QVERIFY(rig.link.deviceTable().at(0).interfacePath2.isEmpty());
    QVERIFY(!rig.link.deviceTable().at(0).interfacePath1.isEmpty());
}

void tst_EventListener::stopEndsTheLoopAfterTheRead()
{
    LinkRig rig(560, false);
    QVERIFY(rig.confirm());
    rig.link.startEventListener(0);
    QTest::qWait(50);
    QElapsedTimer clock;
    clock.start();
    rig.link.stopEventListener();
    QVERIFY(clock.elapsed() <= Hid_Thread::eventReadTimeoutMs + 200);
    QVERIFY(!rig.link.isListening());
    QVERIFY(rig.mouse->isPluggedIn());
}

void tst_EventListener::entryWithoutEventInterface()
{
    LinkRig rig(553, true);
    DeviceTable table = rig.link.deviceTable();
    table[0].interfacePath2.clear();
    rig.link.setDeviceTable(table);
    QVERIFY(rig.confirm());
    rig.link.startEventListener(0);
    QTRY_VERIFY(!rig.link.isListening());
    // Commands still work.
    rig.link.hid553_01H_SetReportRate(2);
    QCOMPARE(rig.mouse->state().reportRate, uchar(2));
}

QTEST_GUILESS_MAIN(tst_EventListener)
#include "tst_eventlistener.moc"
