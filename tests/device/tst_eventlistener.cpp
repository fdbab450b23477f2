#include "devicelinkhost.h"
#include "linkrig.h"
#include "processstate.h"

#include <QMutex>
#include <QTest>
#include <QThread>

// Records what the listener asks of the window, and whether the effects
// that touch the window come on the GUI thread.
class RecordingHost : public DeviceLinkHost
{
public:
    void setCurrentDPI(int stage) override
    {
        record(QStringLiteral("setCurrentDPI %1").arg(stage));
    }
    void disableView() override { record(QStringLiteral("disableView"), true); }
    void showTrayMessage(const QString &title, const QString &text) override
    {
        record(QStringLiteral("balloon %1|%2").arg(title, text), true);
    }
    QStringList recorded()
    {
        QMutexLocker lock(&mutex);
        return calls;
    }

    QMutex mutex;
    QStringList calls;
    bool effectsOnGuiThread = true;

private:
    void record(const QString &call, bool effect = false)
    {
        QMutexLocker lock(&mutex);
        calls << call;
        if (effect)
            effectsOnGuiThread &= QThread::currentThread() == qApp->thread();
    }
};

class tst_EventListener : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        for (int k = 0; k < 8; ++k)
            processState.dpiSwitchText[k] = QStringLiteral("Stage %1").arg(k + 1);
    }

    void startEnablesEventReports_data()
    {
        QTest::addColumn<int>("family");
        QTest::addColumn<bool>("replyLost");
        QTest::addColumn<QStringList>("reports");
        // The option read back, one bit set, the rest kept.
        QTest::newRow("553") << 553 << false
                             << QStringList{"00 83 00 00 00 00 00 00 7c",
                                            "00 03 11 22 33 44 00 00 52"};
        QTest::newRow("560") << 560 << false
                             << QStringList{"00 81 00 00 00 00 00 00 7e",
                                            "00 01 19 22 00 00 00 00 c3"};
        // An option not read is not written back as zeros with one bit.
        QTest::newRow("553, reply lost")
            << 553 << true << QStringList{"00 83 00 00 00 00 00 00 7c"};
        QTest::newRow("560, reply lost")
            << 560 << true << QStringList{"00 81 00 00 00 00 00 00 7e"};
    }

    void startEnablesEventReports()
    {
        QFETCH(int, family);
        QFETCH(bool, replyLost);
        QFETCH(QStringList, reports);
        LinkRig rig(family, true);
        QVERIFY(rig.confirm());
        if (family == 560)
            rig.link.hid560_01H_SetKeyboardoption(0x11, 0x22);
        else
            rig.link.hid553_03H_SetKeyboardoption(0x11, 0x22, 0x33, 0x04);
        const QByteArray option = rig.mouse->state().keyboardOption;
        rig.mouse->clearRecord();
        QVERIFY(!rig.mouse->eventReportsEnabled());

        if (replyLost) {
            rig.mouse->setFault(VirtualMouse::Fault::DropReply);
            QTest::ignoreMessage(QtWarningMsg, "Keyboard option not read: left as it is");
        }
        rig.link.startEventListener(0);
        QVERIFY(rig.link.isListening());
        QStringList sent;
        for (const QByteArray &r : rig.mouse->commands())
            sent << QString::fromLatin1(r.toHex(' '));
        QCOMPARE(sent, reports);
        QCOMPARE(rig.mouse->eventReportsEnabled(), !replyLost);
        if (replyLost)
            QCOMPARE(rig.mouse->state().keyboardOption, option);
        rig.link.stopEventListener();
        QVERIFY(!rig.link.isListening());
        QCOMPARE(rig.mouse->openHandles(), 0);
    }

    void dpiEventReachesSceneAndBalloon_data()
    {
        QTest::addColumn<int>("family");
        QTest::addColumn<int>("stage");
        QTest::addColumn<QString>("text"); // none: a stage the mouse cannot have is ignored
        QTest::newRow("553 stage 3") << 553 << 3 << "Stage 3 ";
        QTest::newRow("553 stage 1") << 553 << 1 << "Stage 1 ";
        QTest::newRow("553 stage 0") << 553 << 0 << QString();
        QTest::newRow("553 stage 9") << 553 << 9 << QString();
        QTest::newRow("560 stage 2") << 560 << 2 << "Stage 2 ";
        QTest::newRow("560 stage 7") << 560 << 7 << "Stage 7 ";
        QTest::newRow("560 stage 8") << 560 << 8 << "Stage 8 ";
        QTest::newRow("560 stage 255") << 560 << 255 << QString();
    }

    void dpiEventReachesSceneAndBalloon()
    {
        QFETCH(int, family);
        QFETCH(int, stage);
        QFETCH(QString, text);
        RecordingHost host; // outlives the link
        LinkRig rig(family, true);
        rig.link.setHost(&host);
        QVERIFY(rig.confirm());
        QVERIFY(!rig.mouse->pressDpiButton(stage)); // no events before the listener asks
        rig.link.startEventListener(0);
        // Any other report changes nothing.
        for (const char *hex : {"05070003", "06080003", "060700"})
            rig.mouse->sendEventReport(QByteArray::fromHex(hex));
        QStringList expected;
        if (text.isNull()) {
            QTest::ignoreMessage(QtWarningMsg,
                                 qPrintable(QStringLiteral("DPI stage %1 ignored").arg(stage)));
        } else {
            expected << QStringLiteral("setCurrentDPI %1").arg(stage)
                     << QStringLiteral("balloon Info|") + text;
        }
        QVERIFY(rig.mouse->pressDpiButton(stage));
        QTRY_COMPARE(host.recorded(), expected);
        // The next press arrives alone after one that was ignored.
        QVERIFY(rig.mouse->pressDpiButton(4));
        expected << "setCurrentDPI 4"
                 << "balloon Info|Stage 4 ";
        QTRY_COMPARE(host.recorded(), expected);
        QVERIFY(host.effectsOnGuiThread);
        rig.link.requestStop();
        rig.mouse->unplug();
        rig.link.stopEventListener();
    }

    void removalIsNoticed()
    {
        RecordingHost host;
        LinkRig rig(553, true);
        rig.link.setHost(&host);
        QVERIFY(rig.confirm());
        rig.link.startEventListener(0);
        QTRY_COMPARE(rig.mouse->openHandles(), 1); // the listener waits in its read
        QTest::ignoreMessage(QtInfoMsg, "Device removed");
        rig.mouse->unplug();
        QTRY_VERIFY(!rig.link.isListening());
        QTRY_COMPARE(host.recorded(), QStringList{"disableView"});
        QVERIFY(host.effectsOnGuiThread);
        QVERIFY(rig.link.deviceTable().at(0).interfacePath2.isEmpty());
        QVERIFY(!rig.link.deviceTable().at(0).interfacePath1.isEmpty());
    }

    void idleListenerSleepsUntilStopped()
    {
        LinkRig rig(560, false);
        QVERIFY(rig.confirm());
        rig.link.startEventListener(0);
        QTRY_COMPARE(rig.mouse->openHandles(), 1);
        // Idle, it waits on the open interface: no reopening on a timer.
        const int opens = rig.mouse->openCount();
        QTest::qWait(700);
        QCOMPARE(rig.mouse->openCount(), opens);
        QCOMPARE(rig.mouse->openHandles(), 1);
        rig.link.stopEventListener();
        QVERIFY(!rig.link.isListening());
        QVERIFY(rig.mouse->isPluggedIn());
    }

    void entryWithoutEventInterface()
    {
        LinkRig rig(553, true);
        DeviceTable table = rig.link.deviceTable();
        table.prepend(table.at(0)); // the second entry keeps its event interface
        table[0].interfacePath2.clear();
        rig.link.setDeviceTable(table);
        QVERIFY(rig.confirm());
        // Neither that entry nor an index past the table, however large, listens.
        for (uint index : {0u, uint(-1)}) {
            rig.link.startEventListener(index);
            QTRY_VERIFY(!rig.link.isListening());
        }
        rig.link.hid553_01H_SetReportRate(2); // commands still work
        QCOMPARE(rig.mouse->state().reportRate, uchar(2));
    }
};

QTEST_GUILESS_MAIN(tst_EventListener)
#include "tst_eventlistener.moc"
