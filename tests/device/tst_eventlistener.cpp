#include "bytes.h"
#include "devicelinkhost.h"
#include "hidapibackend.h"
#include "linkrig.h"

#include <QMutex>
#include <QTest>
#include <QThread>
#include <fcntl.h>
#include <unistd.h>

// What the listener tells the program; it must come on the GUI thread.
class RecordingHost : public DeviceLinkHost
{
public:
    void mouseReportedDpiStage(int stage) override { record(QString("stage %1").arg(stage)); }
    void mouseRemoved() override { record("removed"); }
    QStringList recorded()
    {
        QMutexLocker lock(&mutex);
        return calls;
    }

private:
    void record(const QString &call)
    {
        QMutexLocker lock(&mutex);
        calls << call + (QThread::currentThread() == qApp->thread() ? "" : " off the GUI thread");
    }
    QMutex mutex;
    QStringList calls;
};

class tst_EventListener : public QObject
{
    Q_OBJECT

private slots:
    // Start sets the event bit of the option read back (one not read is left alone);
    // DPI button events are told, but for a stage no mouse has.
    void events()
    {
        const std::tuple<int, bool, int> rows[] = {
            {553, false, 1}, {553, false, 0}, {560, false, 8}, {553, true, 1}, {560, true, 1}};
        for (const auto &[family, replyLost, stage] : rows) {
            RecordingHost host; // outlives the link
            LinkRig rig(family, true);
            rig.link.setHost(&host);
            QVERIFY(rig.confirm());
            family == 560 ? rig.link.hid560_01H_SetKeyboardoption(0x11, 0x22)
                          : rig.link.hid553_03H_SetKeyboardoption(0x11, 0x22, 0x33, 0x04);
            rig.mouse->clearRecord();
            if (replyLost) {
                rig.mouse->setFault(VirtualMouse::Fault::DropReply);
                QTest::ignoreMessage(QtWarningMsg, "Keyboard option not read: left as it is");
            } else {
                QTest::failOnWarning("Keyboard option not read: left as it is");
            }
            rig.link.startEventListener(0);
            const QByteArray reports = family == 560
                                           ? hex("0081000000000000 7e 0001192200000000 c3")
                                           : hex("0083000000000000 7c 0003112233440000 52");
            QCOMPARE(rig.mouse->commands().join(), replyLost ? reports.left(9) : reports);
            QCOMPARE(rig.mouse->eventReportsEnabled(), !replyLost);
            if (!replyLost) {
                for (const char *hex : {"05070003", "06080003", "060700"}) // change nothing
                    rig.mouse->sendEventReport(QByteArray::fromHex(hex));
                if (!stage)
                    QTest::ignoreMessage(QtWarningMsg, "DPI stage 0 ignored");
                QVERIFY(rig.mouse->pressDpiButton(stage));
                QStringList expected =
                    stage ? QStringList{QString("stage %1").arg(stage)} : QStringList();
                QTRY_COMPARE(host.recorded(), expected);
                // The next press arrives alone after one that was ignored.
                QVERIFY(rig.mouse->pressDpiButton(4));
                expected += QStringList{"stage 4"};
                QTRY_COMPARE(host.recorded(), expected);
            }
            rig.link.stopEventListener();
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
        rig.link.startEventListener(1);
        QTRY_COMPARE(rig.mouse->openHandles(), 1); // the listener waits in its read
        QTest::ignoreMessage(QtInfoMsg, "Device removed");
        rig.mouse->unplug();
        QTRY_VERIFY(!rig.link.isListening());
        QTRY_COMPARE(host.recorded(), QStringList{"removed"});
        QVERIFY(rig.link.deviceTable().at(1).interfacePath2.isEmpty());
        QVERIFY(!rig.link.deviceTable().at(1).interfacePath1.isEmpty());
    }

    // A real mouse's event interface is waited on in poll(): a report is read; a stop raised
    // before, or during the wait (its descriptor only), ends it with 0; an unplug with -1.
    void descriptorReadUntilStopped()
    {
        const QByteArray report("\x05\x07\x00", 3);
        const std::pair<QByteArray, int> rows[] = {
            {"report", 3}, {"stop raised", 0}, {"stop while waiting", 0}, {"unplugged", -1}};
        for (const auto &[what, expected] : rows) {
            int ends[2];
            QCOMPARE(::pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
            HidStopSignal stop;
            QCOMPARE(::write(ends[1], report.data(), what == "unplugged" ? 0 : 3),
                     what == "unplugged" ? 0 : 3);
            if (what == "stop raised")
                stop.raise();
            const quint64 one = 1;
            if (what == "stop while waiting")
                QCOMPARE(::write(stop.descriptor(), &one, sizeof one), 8);
            if (what == "unplugged")
                ::close(std::exchange(ends[1], -1));
            unsigned char read[64] = {};
            QCOMPARE(readDescriptorUntilStopped(ends[0], read, sizeof read, stop), expected);
            QCOMPARE(QByteArray(reinterpret_cast<char *>(read), 3) == report, expected == 3);
            ::close(ends[0]);
            ::close(ends[1]);
        }
    }
};

QTEST_GUILESS_MAIN(tst_EventListener)
#include "tst_eventlistener.moc"
