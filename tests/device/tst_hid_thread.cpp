#include "bytes.h"
#include "linkrig.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

// A command handed the pattern 01 02 03 ... (128 bytes) to send from.
using Call = std::function<void(Hid_Thread &, uchar *)>;
Q_DECLARE_METATYPE(Call)
using Breakage = std::function<void(LinkRig &)>;
Q_DECLARE_METATYPE(Breakage)

// A query started from fixed presets, and what it hands back.
static QByteArray ask83(Hid_Thread &h)
{
    uchar o[4] = {1, 2, 3, 4};
    h.hid553_83H_GetKeyboardoption(o[0], o[1], o[2], o[3]);
    return QByteArray(reinterpret_cast<char *>(o), 4);
}

static QByteArray ask8C(Hid_Thread &h, uchar profile)
{
    QByteArray block(128, '\x5A');
    h.hid560_8CH_readProfile(bytesOf(block), profile);
    return block;
}

#define CMD(...) #__VA_ARGS__, Call([](Hid_Thread &h, [[maybe_unused]] uchar *d) { h.__VA_ARGS__; })

class tst_HidThread : public QObject
{
    Q_OBJECT

private slots:
    void setCommands_data()
    {
        QTest::addColumn<bool>("encode");
        QTest::addColumn<bool>("isGun");
        QTest::addColumn<QStringList>("reports");
        QTest::addColumn<QList<int>>("pauses");
        QTest::addColumn<int>("dataBytes"); // how much of the pattern the data reports carry
        QTest::addColumn<Call>("call");

        const QList<int> withData{64, 64, 120, 120, 120, 120, 64, 64}; // four data reports
        bool isGun = false;
        const auto add = [&isGun](const QStringList &reports, const QList<int> &pauses,
                                  int dataBytes, const char *name, const Call &call) {
            for (bool encode : {false, true})
                QTest::addRow("%s%s, %s", name, isGun ? ", gun" : "",
                              encode ? "scrambled" : "plain")
                    << encode << isGun << reports << pauses << dataBytes << call;
        };
        // Short settings owe their pause to the next command instead.
        add({"00 03 01 02 03 40 00 00 b6"}, {}, 0,
            CMD(hid553_03H_SetKeyboardoption(1, 2, 3, 0x40)));
        add({"00 0c 01 02 03 00 00 00 ed"}, {64, 64}, 0, CMD(hid553_0CH_SetFixLEDColor(d)));
        add({"00 13 05 80 00 00 00 00 67"}, withData, 128, CMD(hid553_13H_SetMacroKey(5, d)));
        add({"00 02 03 00 00 00 00 00 fa"}, {}, 0, CMD(hid560_02H_SetCurrentProfile(3)));
        // Once per profile, or for the current one alone on a gun mouse.
        const QStringList rates{"00 03 01 02 00 00 00 00 f9", "00 03 02 02 00 00 00 00 f8",
                                "00 03 03 02 00 00 00 00 f7", "00 03 04 02 00 00 00 00 f6"};
        add(rates, QList<int>(8, 64), 0, CMD(hid560_03H_SetReportRate(2)));
        // The 64-byte matrix goes out padded to 128 bytes.
        add({"00 0d 01 80 00 00 00 00 71"}, withData, 64, CMD(hid560_0DH_SetKeyMatrix(d, 1)));
        isGun = true;
        add(rates.mid(0, 1), {64, 64}, 0, CMD(hid560_03H_SetReportRate(2)));
    }

    void setCommands()
    {
        QFETCH(bool, encode);
        QFETCH(bool, isGun);
        QFETCH(int, dataBytes);
        QFETCH(Call, call);

        const int family = QByteArray(QTest::currentDataTag()).mid(3, 3).toInt(); // hid553_...
        LinkRig rig(family, encode, {false, isGun});
        QVERIFY(rig.confirm());
        QByteArray source = pattern(128);
        call(rig.link, bytesOf(source));

        QStringList sent;
        for (const QByteArray &command : rig.mouse->commands())
            sent << QString::fromLatin1(command.toHex(' '));
        const QByteArray written = rig.written();
        QTEST(sent, "reports");
        // Nothing beyond its length is read from the source.
        QCOMPARE(written, pattern(dataBytes) + QByteArray(written.size() - dataBytes, '\0'));
        QTEST(rig.pauses, "pauses");
        QCOMPARE(rig.mouse->protocolErrors(), QStringList());
    }

    // A short setting's pause is owed to the next command, less the time gone meanwhile;
    // without a stand-in the link really sleeps: the mouse needs the pauses.
    void pausesAreOwedAndTakenForReal()
    {
        LinkRig rig(553, true);
        QVERIFY(rig.confirm());
        QStringList log;
        rig.link.setSleep([&](int ms) {
            log << QStringLiteral("%1 after %2").arg(ms).arg(rig.mouse->received().size());
        });
        rig.link.hid553_03H_SetKeyboardoption(1, 2, 3, 0x40);
        rig.link.pause(5);
        QVERIFY(rig.link.chkDeviceIsEnCode(0));
        rig.link.hid553_03H_SetKeyboardoption(1, 2, 3, 0x40);
        rig.link.pause(9);
        QVERIFY(rig.link.chkDeviceIsEnCode(0));
        QCOMPARE(log, (QStringList{"5 after 1", "3 after 1", "9 after 3"}));
        // A pause owed in stand-in time stays the same pause in real time.
        rig.link.pause(5000);
        rig.link.hid553_03H_SetKeyboardoption(1, 2, 3, 0x40);
        rig.link.setSleep(nullptr);
        log.clear();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(rig.link.chkDeviceIsEnCode(0) && clock.elapsed() < 1000);
        QByteArray d = pattern(8);
        clock.restart();
        rig.link.hid553_11H_SetDPISet(2, bytesOf(d));
        QVERIFY(clock.elapsed() >= 128 + 120 + 128 && log.isEmpty());
        clock.restart();
        rig.link.hid553_03H_SetKeyboardoption(1, 2, 3, 0x40);
        QVERIFY(rig.link.chkDeviceIsEnCode(0) && clock.elapsed() >= 8);
    }

    // A short reply leaves the rest at their presets; a long one is cut at nine bytes.
    void queriesAnswerFromTheMouse()
    {
        LinkRig rig(553, false);
        QVERIFY(rig.confirm());
        rig.mouse->setReplyOverride(hex("008305"));
        const QByteArray shortReply = ask83(rig.link);
        rig.mouse->setReplyOverride(QByteArray(64, '\xEE'));
        QCOMPARE(shortReply + ask83(rig.link), hex("05020304 eeeeeeee"));
        QCOMPARE(rig.pauses, QList<int>());
    }

    void failedQueriesHandPresetsBack_data()
    {
        QTest::addColumn<Breakage>("breakLink");
        QTest::addColumn<int>("reached"); // commands the mouse saw
        using Rig = LinkRig &;
        // Zeros drawn do not make the zeros of a failed exchange a match.
        QTest::newRow("unplugged") << Breakage([](Rig r) {
            r.mouse->unplug();
            r.link.setDraw([] { return std::array<uchar, 4>{}; });
            QVERIFY(!r.link.chkDeviceIsEnCode(0));
        }) << 0;
        QTest::newRow("not answering")
            << Breakage([](Rig r) { r.mouse->setAnswering(false); }) << 5;
        for (int index : {1, -1})
            QTest::addRow("index %d outside the table", index)
                << Breakage([index](Rig r) { QVERIFY(!r.link.chkDeviceIsEnCode(index)); }) << 0;
    }

    void failedQueriesHandPresetsBack()
    {
        QFETCH(Breakage, breakLink);
        LinkRig rig(560, true);
        QVERIFY(rig.confirm());
        breakLink(rig);

        uchar q[11] = {1, 2, 3, 4, 6, 1, 7, 1, 2, 3, 4}; // the presets
        rig.link.hid553_83H_GetKeyboardoption(q[0], q[1], q[2], q[3]);
        rig.link.hid553_8BH_GetCurrentDPI(q[4]);
        rig.link.hid560_84H_GetCurrentDPI(q[5], q[6]);
        rig.link.hid553_00H_GetSecrecyCode(q[7], q[8], q[9], q[10]);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(q), 11), hex("01020304 06 0107 00000000"));
        QCOMPARE(ask8C(rig.link, 0), QByteArray(128, '\x5A'));
        QVERIFY(!rig.link.lastExchangeOk());
        QTEST(int(rig.mouse->commands().size()), "reached");
    }

    // Posted work runs in order on the link's thread. Dropped, queued work is
    // told at once; the job under way ends with its current command, whole.
    void theLinksThreadRunsWorkInOrderAndStopsBetweenCommands()
    {
        LinkRig rig(553, false);
        QVERIFY(rig.confirm());
        QList<QThread *> threads;
        QList<int> ran;
        bool dropped = false;
        QMutex lock; // the stand-in pause below runs on the link's thread
        QByteArray source = pattern(128);
        rig.link.setSleep([&](int ms) {
            QMutexLocker locked(&lock);
            rig.pauses.append(ms);
            threads.append(QThread::currentThread());
            // In the middle of the macro's data reports.
            if (ms == 120 && rig.pauses.count(120) == 2)
                rig.link.dropPending();
        });
        const auto post = [&](int n, const Call &call) {
            rig.link.post({[&, n, call] {
                               call(rig.link, bytesOf(source));
                               QMutexLocker locked(&lock);
                               ran.append(n);
                           },
                           [&] {
                               dropped = true;
                           }});
        };
        QSignalSpy idle(&rig.link, &Hid_Thread::idle);
        QTest::ignoreMessage(QtWarningMsg, "cmd Failed 0C");
        post(1, [](Hid_Thread &h, uchar *) { h.hid553_01H_SetReportRate(2); });
        post(2, [](Hid_Thread &h, uchar *d) {
            h.hid553_13H_SetMacroKey(5, d);
            h.hid553_0CH_SetFixLEDColor(d);
        });
        post(3, [](Hid_Thread &h, uchar *) { h.hid553_01H_SetReportRate(4); });
        rig.link.start();
        QVERIFY(idle.wait(5000));
        QCOMPARE(ran, QList<int>({1, 2}));
        QVERIFY(dropped);
        QCOMPARE(rig.link.pendingJobs(), 0);
        QCOMPARE(rig.mouse->commands(), QList<QByteArray>({hex("00 01 02 00 00 00 00 00 fc"),
                                                           hex("00 13 05 80 00 00 00 00 67")}));
        QCOMPARE(rig.mouse->received().size(), 2 + 4);
        QVERIFY(!rig.link.lastExchangeOk());
        QVERIFY(!threads.isEmpty() && !threads.contains(QThread::currentThread()));
    }

    void everyCallReopensTheInterfaceAndUnplugEmptiesThePath()
    {
        LinkRig rig(553, true);
        QVERIFY(rig.confirm());
        QByteArray m = pattern(64);
        rig.link.hid553_12H_SetKeyMatrix(bytesOf(m), 1);
        // The first open, one for the command and one per data report; none stays.
        QCOMPARE(rig.mouse->openCount(), 4);
        QCOMPARE(rig.mouse->openHandles(), 0);
        rig.mouse->clearRecord();
        rig.pauses.clear();
        rig.mouse->unplugAfterReports(2); // the command and the first data report
        QByteArray d = pattern(128);
        rig.link.hid553_13H_SetMacroKey(1, bytesOf(d));
        QCOMPARE(rig.mouse->received().size(), 2);
        QCOMPARE(rig.pauses, (QList<int>{64, 64, 120}));
        QCOMPARE(rig.mouse->openHandles(), 0);
        QVERIFY(rig.link.deviceTable().at(0).interfacePath1.isEmpty());
    }

    // With 64-byte reports a block goes in two, each way; with a length no report can have,
    // data is refused before the command report (a firmware told of data would wait).
    void reportLengths()
    {
        LinkRig rig(560, true, {}, 64);
        QVERIFY(rig.confirm());
        QCOMPARE(ask8C(rig.link, 3), rig.mouse->state().profiles.at(3));
        QByteArray mine = pattern(128);
        rig.link.hid560_0CH_setProfile(bytesOf(mine), 4);
        QCOMPARE(ask8C(rig.link, 4), pattern(128));
        QList<int> sizes;
        for (const VirtualMouse::Received &r : rig.mouse->received())
            sizes << r.bytes.size();
        QCOMPARE(sizes, (QList<int>{9, 9, 65, 65, 9}));
        QCOMPARE(rig.pauses, (QList<int>{64, 64, 120, 120, 64, 64}));
        QCOMPARE(rig.mouse->protocolErrors(), QStringList());
        for (int reportLength : {0, 100000}) {
            LinkRig refusing(560, true, {}, reportLength);
            QVERIFY(refusing.confirm());
            refusing.link.hid560_0CH_setProfile(bytesOf(mine), 0);
            QVERIFY(!refusing.link.lastExchangeOk());
            QCOMPARE(ask8C(refusing.link, 0), QByteArray(128, '\x5A'));
            QCOMPARE(refusing.mouse->received().size(), 0);
            refusing.link.hid553_01H_SetReportRate(1); // no data: goes through
            QVERIFY(refusing.link.lastExchangeOk());
        }
    }

    void identityExchange()
    {
        // The mouse's code is 370524; a plain link ignores it; one not six long is none.
        for (const auto &[isEncode, tableCode, confirmed] : {std::tuple{true, "370524", true},
                                                             {true, "1234567", false},
                                                             {true, "111111", false},
                                                             {false, "111111", true}}) {
            LinkRig rig(553, isEncode);
            DeviceTable table = rig.link.deviceTable();
            table[0].sCode = QLatin1String(tableCode);
            rig.link.setDeviceTable(table);
            rig.link.setDraw(nullptr); // the real random source
            QCOMPARE(rig.link.chkDeviceIsEnCode(0), confirmed);
            QCOMPARE(rig.mouse->received().size(), 1);
        }
    }
};

QTEST_GUILESS_MAIN(tst_HidThread)
#include "tst_hid_thread.moc"
