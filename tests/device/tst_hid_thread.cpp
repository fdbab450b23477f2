#include "linkrig.h"
#include "linkstate.h"
#include "protocol.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <functional>

using Call = std::function<void(Hid_Thread &)>;
Q_DECLARE_METATYPE(Call)

class tst_HidThread : public QObject
{
    Q_OBJECT

private slots:
    void setCommands_data();
    void setCommands();
    void queriesAnswerFromTheMouse();
    void profileReadFetchesTheWholeBlock();
    void invokableByName();
    void theProgramSleepsForReal();
    void failedQueriesHandPresetsBack();
    void busyLinkDropsTheCommand_data();
    void busyLinkDropsTheCommand();
    void nestedCommandIsDroppedAndOuterCompletes();
    void nestedCommandCannotSplitAProfileSequence();
    void everyCallReopensTheInterface();
    void reportLength64();
    void unplugMidTransfer();
    void oddReplies();
    void indexOutsideTheTable();
    void impossibleReportLength();
    void identityExchange_data();
    void identityExchange();
    void identityExchangeNeedsTheLink();
};

static QByteArray pattern(int n)
{
    QByteArray data;
    for (int i = 0; i < n; ++i)
        data.append(char(i + 1));
    return data;
}

static uchar *bytesOf(QByteArray &a)
{
    return reinterpret_cast<uchar *>(a.data());
}

void tst_HidThread::setCommands_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<bool>("isGun");
    QTest::addColumn<Call>("call");
    QTest::addColumn<QStringList>("reports"); // plain command reports
    QTest::addColumn<QByteArray>("data");     // what the data reports carry
    QTest::addColumn<QList<int>>("pauses");

    const QList<int> settle{64, 64};
    const auto withData = [](int reports) {
        QList<int> p{64, 64};
        for (int i = 0; i < reports; ++i)
            p << 120;
        return p << 64 << 64;
    };
    struct Row
    {
        const char *name;
        int family;
        bool isGun;
        Call call;
        QStringList reports;
        QByteArray data;
        QList<int> pauses;
    };
    const QList<Row> rows{
        {"553 01H rate",
         553,
         false,
         [](Hid_Thread &h) { h.hid553_01H_SetReportRate(4); },
         {"00 01 04 00 00 00 00 00 fa"},
         {},
         settle},
        {"553 02H matrix",
         553,
         false,
         [](Hid_Thread &h) { h.hid553_02H_SetCurrentKeyMatrix(2); },
         {"00 02 02 00 00 00 00 00 fb"},
         {},
         settle},
        {"553 03H option",
         553,
         false,
         [](Hid_Thread &h) { h.hid553_03H_SetKeyboardoption(1, 2, 3, 0x40); },
         {"00 03 01 02 03 40 00 00 b6"},
         {},
         {8}},
        {"553 04H gun",
         553,
         false,
         [](Hid_Thread &h) { h.hid553_04H_SetGunData(1, 2, 3, 4); },
         {"00 04 00 01 02 03 04 00 f1"},
         {},
         {8}},
        {"553 0BH stage",
         553,
         false,
         [](Hid_Thread &h) { h.hid553_0BH_SetCurrentDPI(3); },
         {"00 0b 03 00 00 00 00 00 f1"},
         {},
         settle},
        {"553 0CH colour",
         553,
         false,
         [](Hid_Thread &h) {
             uchar c[3] = {10, 20, 30};
             h.hid553_0CH_SetFixLEDColor(c);
         },
         {"00 0c 0a 14 1e 00 00 00 b7"},
         {},
         settle},
        {"553 0DH effect",
         553,
         false,
         [](Hid_Thread &h) { h.hid553_0DH_SetRGBLedEffect(2, 3, 4); },
         {"00 0d 02 03 04 00 00 00 e9"},
         {},
         settle},
        {"553 10H type 2",
         553,
         false,
         [](Hid_Thread &h) {
             QByteArray d = pattern(24);
             h.hid553_10H_SetLED8StageColor(2, bytesOf(d));
         },
         {"00 10 02 04 00 00 00 00 e9"},
         pattern(4),
         withData(1)},
        {"553 10H type 0",
         553,
         false,
         [](Hid_Thread &h) {
             QByteArray d = pattern(24);
             h.hid553_10H_SetLED8StageColor(0, bytesOf(d));
         },
         {"00 10 00 18 00 00 00 00 d7"},
         pattern(24),
         withData(1)},
        {"553 11H DPI set",
         553,
         false,
         [](Hid_Thread &h) {
             QByteArray d = pattern(8);
             h.hid553_11H_SetDPISet(3, bytesOf(d));
         },
         {"00 11 03 08 00 00 00 00 e3"},
         pattern(8),
         withData(1)},
        {"553 12H key matrix",
         553,
         false,
         [](Hid_Thread &h) {
             QByteArray d = pattern(64);
             h.hid553_12H_SetKeyMatrix(bytesOf(d), 2);
         },
         {"00 12 02 40 08 00 00 00 a3"},
         pattern(64),
         withData(2)},
        {"553 13H macro",
         553,
         false,
         [](Hid_Thread &h) {
             QByteArray d = pattern(128);
             h.hid553_13H_SetMacroKey(5, bytesOf(d));
         },
         {"00 13 05 80 00 00 00 00 67"},
         pattern(128),
         withData(4)},
        {"560 01H option",
         560,
         false,
         [](Hid_Thread &h) { h.hid560_01H_SetKeyboardoption(8, 0); },
         {"00 01 08 00 00 00 00 00 f6"},
         {},
         {8}},
        {"560 02H profile",
         560,
         false,
         [](Hid_Thread &h) { h.hid560_02H_SetCurrentProfile(3); },
         {"00 02 03 00 00 00 00 00 fa"},
         {},
         {8}},
        {"560 03H rate",
         560,
         false,
         [](Hid_Thread &h) { h.hid560_03H_SetReportRate(2); },
         {"00 03 01 02 00 00 00 00 f9", "00 03 02 02 00 00 00 00 f8", "00 03 03 02 00 00 00 00 f7",
          "00 03 04 02 00 00 00 00 f6"},
         {},
         settle + settle + settle + settle},
        {"560 03H rate, gun",
         560,
         true,
         [](Hid_Thread &h) { h.hid560_03H_SetReportRate(2); },
         {"00 03 01 02 00 00 00 00 f9"},
         {},
         settle},
        {"560 04H stage",
         560,
         false,
         [](Hid_Thread &h) { h.hid560_04H_SetCurrentDPI(3); },
         {"00 04 01 03 00 00 00 00 f7", "00 04 02 03 00 00 00 00 f6", "00 04 03 03 00 00 00 00 f5",
          "00 04 04 03 00 00 00 00 f4"},
         {},
         settle + settle + settle + settle},
        {"560 0CH profile",
         560,
         false,
         [](Hid_Thread &h) {
             QByteArray d = pattern(128);
             h.hid560_0CH_setProfile(bytesOf(d), 2);
         },
         {"00 0c 02 80 00 00 00 00 71"},
         pattern(128),
         withData(4)},
        {"560 0DH key matrix",
         560,
         false,
         [](Hid_Thread &h) {
             QByteArray d = pattern(64);
             h.hid560_0DH_SetKeyMatrix(bytesOf(d), 1);
         },
         {"00 0d 01 80 00 00 00 00 71"},
         pattern(64) + QByteArray(64, '\0'),
         withData(4)},
        {"560 0FH macro",
         560,
         false,
         [](Hid_Thread &h) {
             QByteArray d = pattern(128);
             h.hid560_0FH_SetMacroKey(3, bytesOf(d));
         },
         {"00 0f 03 80 00 00 00 00 6d"},
         pattern(128),
         withData(4)},
    };
    for (const Row &row : rows) {
        for (bool encode : {false, true}) {
            QTest::addRow("%s, %s", row.name, encode ? "scrambled" : "plain")
                << row.family << row.isGun << row.call << row.reports << row.data << row.pauses;
        }
    }
}

void tst_HidThread::setCommands()
{
    QFETCH(int, family);
    QFETCH(bool, isGun);
    QFETCH(Call, call);
    QFETCH(QStringList, reports);
    QFETCH(QByteArray, data);
    QFETCH(QList<int>, pauses);
    const bool encode = QByteArray(QTest::currentDataTag()).endsWith("scrambled");

    LinkRig rig(family, encode, isGun);
    QVERIFY(rig.confirm());
    call(rig.link);

    QStringList sent;
    QByteArray written;
    for (const VirtualMouse::Received &r : rig.mouse->received()) {
        if (r.channel == VirtualMouse::Channel::Feature) {
            sent << QString::fromLatin1(r.plain.toHex(' '));
            // On the wire: bytes 1 to 8 scrambled exactly when the row says so.
            QByteArray expected = r.plain;
            if (encode)
                HidProtocol::scramble(reinterpret_cast<uchar *>(expected.data()) + 1, secrecyCode);
            QCOMPARE(r.bytes, expected);
        } else {
            QCOMPARE(r.bytes.size(), 33);
            QCOMPARE(r.bytes.at(0), '\0');
            written += r.bytes.mid(1);
        }
    }
    QCOMPARE(sent, reports);
    QCOMPARE(written.left(data.size()), data);
    QCOMPARE(written.mid(data.size()), QByteArray(written.size() - data.size(), '\0'));
    QCOMPARE(rig.pauses, pauses);
    QCOMPARE(rig.mouse->protocolErrors(), QStringList());
    QVERIFY(rig.link.linkFree());
}

void tst_HidThread::queriesAnswerFromTheMouse()
{
    for (bool encode : {false, true}) {
        LinkRig rig553(553, encode);
        QVERIFY(rig553.confirm());
        rig553.link.hid553_03H_SetKeyboardoption(0x11, 0x22, 0x33, 0x44);
        rig553.mouse->pressDpiButton(5);
        uchar o[4] = {};
        rig553.link.hid553_83H_GetKeyboardoption(o[0], o[1], o[2], o[3]);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(o), 4), QByteArray::fromHex("11223344"));
        uchar stage = 0;
        rig553.link.hid553_8BH_GetCurrentDPI(stage);
        QCOMPARE(stage, uchar(5));
        QCOMPARE(rig553.mouse->commands().last().toHex(' '),
                 QByteArray("00 8b 00 00 00 00 00 00 74"));

        LinkRig rig560(560, encode);
        QVERIFY(rig560.confirm());
        rig560.link.hid560_01H_SetKeyboardoption(0x08, 0x02);
        rig560.link.hid560_02H_SetCurrentProfile(3);
        rig560.mouse->pressDpiButton(6);
        uchar a = 0, b = 0;
        rig560.link.hid560_81H_GetKeyboardoption(a, b);
        QCOMPARE(int(a), 0x08);
        QCOMPARE(int(b), 0x02);
        uchar profile = 0;
        rig560.link.hid560_82H_GetCurrentProfile(profile);
        QCOMPARE(profile, uchar(3));
        uchar ask = 1, current = 0;
        rig560.link.hid560_84H_GetCurrentDPI(ask, current);
        QCOMPARE(current, uchar(6));
        QCOMPARE(rig560.mouse->commands().last().toHex(' '),
                 QByteArray("00 84 01 00 00 00 00 00 7a"));
        QCOMPARE(rig560.pauses, (QList<int>{8, 8})); // queries do not pause
    }
}

void tst_HidThread::profileReadFetchesTheWholeBlock()
{
    for (bool encode : {false, true}) {
        LinkRig rig(560, encode);
        QVERIFY(rig.confirm());
        QByteArray block(128, '\xAA');
        rig.link.hid560_8CH_readProfile(bytesOf(block), 3);
        QCOMPARE(rig.mouse->commands(), QList<QByteArray>{QByteArray::fromHex("008c030000000000"
                                                                              "70")});
        QCOMPARE(block, rig.mouse->state().profiles.at(3));
        QCOMPARE(rig.pauses, QList<int>());

        // What was written comes back whole.
        const QByteArray mine = pattern(128);
        QByteArray copy = mine;
        rig.link.hid560_0CH_setProfile(bytesOf(copy), 1);
        QByteArray back(128, '\0');
        rig.link.hid560_8CH_readProfile(bytesOf(back), 1);
        QCOMPARE(back, mine);
    }
}

void tst_HidThread::invokableByName()
{
    LinkRig rig(553, true);
    QVERIFY(rig.confirm());
    QVERIFY(QMetaObject::invokeMethod(&rig.link, "hid553_01H_SetReportRate", Q_ARG(uchar, 4)));
    uchar o[4] = {9, 9, 9, 9};
    QVERIFY(QMetaObject::invokeMethod(&rig.link, "hid553_83H_GetKeyboardoption",
                                      Q_ARG(uchar &, o[0]), Q_ARG(uchar &, o[1]),
                                      Q_ARG(uchar &, o[2]), Q_ARG(uchar &, o[3])));
    QCOMPARE(int(o[0]), 0);
    const QList<QByteArray> sent = rig.mouse->commands();
    QCOMPARE(sent.size(), 2);
    QCOMPARE(sent.at(0).toHex(' '), QByteArray("00 01 04 00 00 00 00 00 fa"));
    QCOMPARE(uchar(sent.at(1).at(1)), uchar(0x83));
}

void tst_HidThread::theProgramSleepsForReal()
{
    LinkRig rig(553, true);
    QVERIFY(rig.confirm());
    rig.link.setSleep(nullptr); // back to real pauses
    QByteArray d = pattern(8);
    QElapsedTimer clock;
    clock.start();
    rig.link.hid553_11H_SetDPISet(2, bytesOf(d));
    QVERIFY(clock.elapsed() >= 128 + 120 + 128);
    const QList<VirtualMouse::Received> received = rig.mouse->received();
    QCOMPARE(received.size(), 2);
    QVERIFY(received.at(1).msecs - received.at(0).msecs >= 128);
    QVERIFY(rig.pauses.isEmpty());
}

void tst_HidThread::failedQueriesHandPresetsBack()
{
    LinkRig rig(560, true);
    QVERIFY(rig.confirm());
    rig.mouse->unplug();

    uchar o[4] = {1, 2, 3, 4};
    rig.link.hid553_83H_GetKeyboardoption(o[0], o[1], o[2], o[3]);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(o), 4), QByteArray::fromHex("01020304"));
    uchar s[4] = {1, 2, 3, 4};
    rig.link.hid553_00H_GetSecrecyCode(s[0], s[1], s[2], s[3]);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(s), 4), QByteArray(4, '\0'));
    uchar ask = 1, current = 7;
    rig.link.hid560_84H_GetCurrentDPI(ask, current);
    QCOMPARE(int(ask), 1);
    QCOMPARE(int(current), 7);
    QByteArray block(128, '\x5A');
    rig.link.hid560_8CH_readProfile(bytesOf(block), 0);
    QCOMPARE(block, QByteArray(128, '\x5A'));
    QVERIFY(rig.link.linkFree());
    QCOMPARE(rig.mouse->received().size(), 0);
}

void tst_HidThread::busyLinkDropsTheCommand_data()
{
    QTest::addColumn<Call>("call");
    QTest::addColumn<QString>("line");
    QTest::newRow("01H") << Call([](Hid_Thread &h) { h.hid553_01H_SetReportRate(1); })
                         << "cmd Failed 01";
    QTest::newRow("8BH") << Call([](Hid_Thread &h) {
        uchar v = 42;
        h.hid553_8BH_GetCurrentDPI(v);
        QCOMPARE(v, uchar(42));
    }) << "cmd Failed 8BH";
    QTest::newRow("8CH") << Call([](Hid_Thread &h) {
        QByteArray b(128, '\x11');
        h.hid560_8CH_readProfile(bytesOf(b), 1);
        QCOMPARE(b, QByteArray(128, '\x11'));
    }) << "cmd Failed 8c";
    // One line for the whole sequence, not four.
    QTest::newRow("560 03H") << Call([](Hid_Thread &h) { h.hid560_03H_SetReportRate(1); })
                             << "cmd Failed 03";
}

void tst_HidThread::busyLinkDropsTheCommand()
{
    QFETCH(Call, call);
    QFETCH(QString, line);
    LinkRig rig(553, true);
    QVERIFY(rig.confirm());
    rig.link.setLinkFree(false);
    QTest::ignoreMessage(QtDebugMsg, qPrintable(line));
    call(rig.link);
    QCOMPARE(rig.mouse->received().size(), 0);
    QCOMPARE(rig.pauses, QList<int>(255, 8));
    QVERIFY(!rig.link.linkFree()); // a dropped command leaves the lock alone
}

void tst_HidThread::nestedCommandIsDroppedAndOuterCompletes()
{
    LinkRig rig(553, true);
    QVERIFY(rig.confirm());
    // Something the outer command's event processing runs.
    QTimer::singleShot(0, &rig.link, [&] { rig.link.hid553_0BH_SetCurrentDPI(5); });
    QTest::ignoreMessage(QtDebugMsg, "cmd Failed 0B");
    rig.link.hid553_01H_SetReportRate(4);

    QCOMPARE(rig.mouse->commands(), QList<QByteArray>{QByteArray::fromHex("000104000000000"
                                                                          "0fa")});
    QCOMPARE(rig.pauses, QList<int>(255, 8) + QList<int>({64, 64}));
    QVERIFY(rig.link.linkFree());
}

void tst_HidThread::nestedCommandCannotSplitAProfileSequence()
{
    LinkRig rig(560, true);
    QVERIFY(rig.confirm());
    // Runs from the events that the second report of the sequence lets run.
    int reportsSeen = 0;
    QTimer poke;
    connect(&poke, &QTimer::timeout, &rig.link, [&] {
        if (rig.mouse->commands().size() == 1 && reportsSeen++ == 0)
            rig.link.hid560_02H_SetCurrentProfile(2);
    });
    poke.start(0);
    QTest::ignoreMessage(QtDebugMsg, "cmd Failed 02");
    rig.link.hid560_04H_SetCurrentDPI(3);
    poke.stop();

    QStringList sent;
    for (const QByteArray &r : rig.mouse->commands())
        sent << QString::fromLatin1(r.toHex(' ').mid(0, 11));
    QCOMPARE(sent, (QStringList{"00 04 01 03", "00 04 02 03", "00 04 03 03", "00 04 04 03"}));
    QCOMPARE(rig.mouse->state().profileDpiStage.toHex(), QByteArray("0003030303"));
}

void tst_HidThread::everyCallReopensTheInterface()
{
    LinkRig rig(553, true);
    QVERIFY(rig.confirm());
    QByteArray d = pattern(64);
    rig.link.hid553_12H_SetKeyMatrix(bytesOf(d), 1);
    // The first open, then one for the command and one per data report.
    QCOMPARE(rig.mouse->openCount(), 4);
    rig.mouse->clearRecord();
    uchar v = 0;
    rig.link.hid553_8BH_GetCurrentDPI(v);
    QCOMPARE(rig.mouse->openCount(), 3); // first open, send, get
}

void tst_HidThread::reportLength64()
{
    LinkRig rig(560, true, false, 64);
    QVERIFY(rig.confirm());
    const QByteArray mine = pattern(128);
    QByteArray copy = mine;
    rig.link.hid560_0CH_setProfile(bytesOf(copy), 4);
    QList<int> sizes;
    for (const VirtualMouse::Received &r : rig.mouse->received())
        sizes << r.bytes.size();
    QCOMPARE(sizes, (QList<int>{9, 65, 65}));
    QCOMPARE(rig.pauses, (QList<int>{64, 64, 120, 120, 64, 64}));
    QByteArray back(128, '\0');
    rig.link.hid560_8CH_readProfile(bytesOf(back), 4);
    QCOMPARE(back, mine);
    QCOMPARE(rig.mouse->protocolErrors(), QStringList());
}

void tst_HidThread::unplugMidTransfer()
{
    LinkRig rig(553, true);
    QVERIFY(rig.confirm());
    rig.mouse->unplugAfterReports(2); // the command and the first data report
    QByteArray d = pattern(128);
    rig.link.hid553_13H_SetMacroKey(1, bytesOf(d));
    QCOMPARE(rig.mouse->received().size(), 2);
    QVERIFY(rig.link.linkFree());
    QCOMPARE(rig.pauses, (QList<int>{64, 64, 120}));
    QVERIFY(rig.link.deviceTable().at(0).interfacePath1.isEmpty());

    // Plugged in again, the emptied path keeps every command away from it
    // until detection hands over a new table.
    rig.mouse->plugIn();
    rig.mouse->clearRecord();
    rig.link.hid553_01H_SetReportRate(1);
    QCOMPARE(rig.mouse->openCount(), 0);
    QCOMPARE(rig.mouse->received().size(), 0);
    QVERIFY(rig.link.linkFree());
}

void tst_HidThread::oddReplies()
{
    LinkRig rig(553, false);
    QVERIFY(rig.confirm());
    // Three bytes only: the positions not answered keep their presets.
    rig.mouse->setReplyOverride(QByteArray::fromHex("008305"));
    uchar o[4] = {1, 2, 3, 4};
    rig.link.hid553_83H_GetKeyboardoption(o[0], o[1], o[2], o[3]);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(o), 4), QByteArray::fromHex("05020304"));

    // A long garbage reply is cut at nine bytes.
    rig.mouse->setReplyOverride(QByteArray(64, '\xEE'));
    rig.link.hid553_83H_GetKeyboardoption(o[0], o[1], o[2], o[3]);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(o), 4), QByteArray(4, '\xEE'));

    // A mouse that does not answer: presets come back.
    rig.mouse->setReplyOverride(QByteArray());
    rig.mouse->setAnswering(false);
    uchar stage = 6;
    rig.link.hid553_8BH_GetCurrentDPI(stage);
    QCOMPARE(stage, uchar(6));
    QVERIFY(rig.link.linkFree());

    // Garbage into a scrambled link does no harm either.
    LinkRig scrambled(553, true);
    QVERIFY(scrambled.confirm());
    scrambled.mouse->setReplyOverride(QByteArray::fromHex("00"));
    scrambled.link.hid553_8BH_GetCurrentDPI(stage);
    QVERIFY(scrambled.link.linkFree());
}

void tst_HidThread::indexOutsideTheTable()
{
    LinkRig rig(553, true);
    for (int index : {1, 7, -1}) {
        QVERIFY(!rig.link.chkDeviceIsEnCode(index));
        rig.link.hid553_01H_SetReportRate(1);
        uchar v = 3;
        rig.link.hid553_8BH_GetCurrentDPI(v);
        QCOMPARE(v, uchar(3));
        QVERIFY(rig.link.linkFree());
    }
    QCOMPARE(rig.mouse->openCount(), 0);
    rig.link.setDeviceTable({});
    QVERIFY(!rig.link.chkDeviceIsEnCode(0));
    QCOMPARE(rig.mouse->openCount(), 0);
}

void tst_HidThread::impossibleReportLength()
{
    for (int reportLength : {0, -3, 100000}) {
        LinkRig rig(560, true, false, reportLength);
        QVERIFY(rig.confirm());
        QByteArray d = pattern(128);
        rig.link.hid560_0CH_setProfile(bytesOf(d), 0);
        QByteArray block(128, '\x33');
        rig.link.hid560_8CH_readProfile(bytesOf(block), 0);
        QCOMPARE(block, QByteArray(128, '\x33'));
        QVERIFY(rig.link.linkFree());
        for (const VirtualMouse::Received &r : rig.mouse->received())
            QCOMPARE(r.channel, VirtualMouse::Channel::Feature);
    }
}

void tst_HidThread::identityExchange_data()
{
    QTest::addColumn<bool>("isEncode");
    QTest::addColumn<QString>("mouseCode"); // what the mouse is built with
    QTest::addColumn<QString>("tableCode"); // what the table says
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("plain") << false << "370524"
                           << "370524" << true;
    QTest::newRow("scrambled") << true << "370524"
                               << "370524" << true;
    QTest::newRow("other code") << true << "111111"
                                << "370524" << false;
    QTest::newRow("plain ignores codes") << false << "111111"
                                         << "370524" << true;
}

void tst_HidThread::identityExchange()
{
    QFETCH(bool, isEncode);
    QFETCH(QString, mouseCode);
    QFETCH(QString, tableCode);
    QFETCH(bool, confirmed);

    VirtualMouseBackend backend;
    DeviceEntry row = VirtualMouse::factoryRow();
    row.isEncode = isEncode;
    row.sCode = mouseCode;
    backend.addMouse(553, row);
    row.sCode = tableCode;
    row.interfacePath1 = QStringLiteral("virtual:0:0");
    Hid_Thread link(&backend);
    link.setSleep([](int) {});
    link.setDeviceTable({row});
    QCOMPARE(link.chkDeviceIsEnCode(0), confirmed);
    QCOMPARE(link.currentIndex(), 0);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(secrecyCode), 8),
             QByteArray("\0", 1) + tableCode.toLatin1() + QByteArray("\0", 1));
    const QList<VirtualMouse::Received> sent = backend.mouse().received();
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.at(0).bytes.at(0), '\0');
}

void tst_HidThread::identityExchangeNeedsTheLink()
{
    LinkRig rig(553, true);
    QVERIFY(rig.link.chkDeviceIsEnCode(0));

    // Dropped for a busy link: the drawn values are still in place, yet
    // nothing was exchanged.
    rig.link.setLinkFree(false);
    QTest::ignoreMessage(QtDebugMsg, "cmd Failed 00");
    QVERIFY(!rig.link.chkDeviceIsEnCode(0));
    rig.link.setLinkFree(true);

    // A transport failure gives zeros; zeros drawn do not make it a match.
    rig.link.setDraw([] { return std::array<uchar, 4>{}; });
    rig.mouse->unplug();
    QVERIFY(!rig.link.chkDeviceIsEnCode(0));

    // A short sCode leaves the previous secrecy code in place.
    LinkRig other(553, true);
    DeviceTable table = other.link.deviceTable();
    table[0].sCode = QStringLiteral("12345");
    other.link.setDeviceTable(table);
    QVERIFY(other.link.chkDeviceIsEnCode(0));
    QCOMPARE(QByteArray(reinterpret_cast<char *>(secrecyCode + 1), 6), QByteArray("370524"));
}

QTEST_GUILESS_MAIN(tst_HidThread)
#include "tst_hid_thread.moc"
