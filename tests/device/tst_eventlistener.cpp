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
        effectsOnGuiThread &= !effect || QThread::currentThread() == qApp->thread();
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

    // Start reads the option back and sets the event bit, the rest kept; an
    // option not read is not written back as zeros with one bit. DPI button
    // events then reach the scene and the balloon; a stage the mouse cannot
    // have is ignored.
    void events()
    {
        for (const auto &[family, replyLost, stage, shown] : {std::tuple{553, false, 1, true},
                                                              {553, false, 0, false},
                                                              {553, false, 9, false},
                                                              {560, false, 8, true},
                                                              {560, false, 255, false},
                                                              {553, true, 1, false},
                                                              {560, true, 1, false}}) {
            RecordingHost host; // outlives the link
            LinkRig rig(family, true);
            rig.link.setHost(&host);
            QVERIFY(rig.confirm());
            if (family == 560)
                rig.link.hid560_01H_SetKeyboardoption(0x11, 0x22);
            else
                rig.link.hid553_03H_SetKeyboardoption(0x11, 0x22, 0x33, 0x04);
            const QByteArray option = rig.mouse->state().keyboardOption;
            rig.mouse->clearRecord();
            QVERIFY(!rig.mouse->pressDpiButton(stage)); // no events before the listener asks
            if (replyLost) {
                rig.mouse->setFault(VirtualMouse::Fault::DropReply);
                QTest::ignoreMessage(QtWarningMsg, "Keyboard option not read: left as it is");
            }
            rig.link.startEventListener(0);
            QVERIFY(rig.link.isListening());
            QStringList sent;
            for (const QByteArray &r : rig.mouse->commands())
                sent << QString::fromLatin1(r.toHex(' '));
            QString reports = family == 560
                                  ? "00 81 00 00 00 00 00 00 7e|00 01 19 22 00 00 00 00 c3"
                                  : "00 83 00 00 00 00 00 00 7c|00 03 11 22 33 44 00 00 52";
            QCOMPARE(sent.join('|'), replyLost ? reports.section('|', 0, 0) : reports);
            QCOMPARE(rig.mouse->eventReportsEnabled(), !replyLost);
            QCOMPARE(rig.mouse->state().keyboardOption == option, replyLost);
            if (!replyLost) {
                // Any other report changes nothing.
                for (const char *hex : {"05070003", "06080003", "060700"})
                    rig.mouse->sendEventReport(QByteArray::fromHex(hex));
                if (!shown)
                    QTest::ignoreMessage(QtWarningMsg,
                                         qPrintable(QString("DPI stage %1 ignored").arg(stage)));
                QVERIFY(rig.mouse->pressDpiButton(stage));
                QStringList expected;
                if (shown)
                    expected << QString("setCurrentDPI %1").arg(stage)
                             << QString("balloon Info|Stage %1 ").arg(stage);
                QTRY_COMPARE(host.recorded(), expected);
                // The next press arrives alone after one that was ignored.
                QVERIFY(rig.mouse->pressDpiButton(4));
                expected << "setCurrentDPI 4"
                         << "balloon Info|Stage 4 ";
                QTRY_COMPARE(host.recorded(), expected);
                QVERIFY(host.effectsOnGuiThread);
            }
            rig.link.stopEventListener();
            QVERIFY(!rig.link.isListening());
            QCOMPARE(rig.mouse->openHandles(), 0);
        }
    }

    void idleListenerWaitsUntilTheMouseGoes()
    {
        RecordingHost host;
        LinkRig rig(553, true);
        rig.link.setHost(&host);
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
        rig.link.startEventListener(1);
        QTRY_COMPARE(rig.mouse->openHandles(), 1); // the listener waits in its read
        // Idle, it waits on the open interface: no reopening on a timer.
        const int opens = rig.mouse->openCount();
        QTest::qWait(700);
        QCOMPARE(rig.mouse->openCount(), opens);
        QTest::ignoreMessage(QtInfoMsg, "Device removed");
        rig.mouse->unplug();
        QTRY_VERIFY(!rig.link.isListening());
        QTRY_COMPARE(host.recorded(), QStringList{"disableView"});
        QVERIFY(host.effectsOnGuiThread);
        QCOMPARE(rig.link.deviceTable().at(1).interfacePath2.isEmpty(), true);
        QVERIFY(!rig.link.deviceTable().at(1).interfacePath1.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_EventListener)
#include "tst_eventlistener.moc"
