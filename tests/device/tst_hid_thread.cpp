#include "bytes.h"
#include "hidapibackend.h"
#include "linkrig.h"
#include "processstate.h"
#include "protocol.h"

#include <QTest>
#include <QTimer>
#include <functional>

// A command handed the pattern 01 02 03 ... (128 bytes) to send from.
using Call = std::function<void(Hid_Thread &, uchar *)>;
Q_DECLARE_METATYPE(Call)
using Breakage = std::function<void(LinkRig &)>;
Q_DECLARE_METATYPE(Breakage)

// The queries, each started from fixed presets, and what they hand back.
static QByteArray ask83(Hid_Thread &h)
{
    uchar o[4] = {1, 2, 3, 4};
    h.hid553_83H_GetKeyboardoption(o[0], o[1], o[2], o[3]);
    return QByteArray(reinterpret_cast<char *>(o), 4);
}

static int ask8B(Hid_Thread &h)
{
    uchar stage = 6;
    h.hid553_8BH_GetCurrentDPI(stage);
    return stage;
}

static QList<int> ask84(Hid_Thread &h)
{
    uchar ask = 1, current = 7;
    h.hid560_84H_GetCurrentDPI(ask, current);
    return {ask, current};
}

static QByteArray ask8C(Hid_Thread &h, uchar profile)
{
    QByteArray block(128, '\x5A');
    h.hid560_8CH_readProfile(bytesOf(block), profile);
    return block;
}

// A command call on the link `h`, given the pattern `d` to send from, and
// its text as the row's name.
#define CMD(...) #__VA_ARGS__, Call([](Hid_Thread &h, [[maybe_unused]] uchar *d) { h.__VA_ARGS__; })

class tst_HidThread : public QObject
{
    Q_OBJECT

private slots:
    void setCommands_data()
    {
        QTest::addColumn<bool>("encode");
        QTest::addColumn<int>("family");
        QTest::addColumn<bool>("isGun");
        QTest::addColumn<QStringList>("reports"); // plain command reports
        QTest::addColumn<QList<int>>("pauses");
        QTest::addColumn<int>("dataBytes"); // how much of the pattern the data reports carry
        QTest::addColumn<Call>("call");

        const QList<int> settle{64, 64};
        const auto withData = [](int reports) {
            return QList<int>{64, 64} + QList<int>(reports, 120) + QList<int>{64, 64};
        };
        bool isGun = false;
        const auto add = [&isGun](const QStringList &reports, const QList<int> &pauses,
                                  int dataBytes, const char *name, const Call &call) {
            const int family = QByteArray(name).mid(3, 3).toInt(); // hid553_... or hid560_...
            for (bool encode : {false, true}) {
                QTest::addRow("%s%s, %s", name, isGun ? ", gun" : "",
                              encode ? "scrambled" : "plain")
                    << encode << family << isGun << reports << pauses << dataBytes << call;
            }
        };
        add({"00 01 04 00 00 00 00 00 fa"}, settle, 0, CMD(hid553_01H_SetReportRate(4)));
        add({"00 02 02 00 00 00 00 00 fb"}, settle, 0, CMD(hid553_02H_SetCurrentKeyMatrix(2)));
        add({"00 03 01 02 03 40 00 00 b6"}, {8}, 0,
            CMD(hid553_03H_SetKeyboardoption(1, 2, 3, 0x40)));
        add({"00 04 00 01 02 03 04 00 f1"}, {8}, 0, CMD(hid553_04H_SetGunData(1, 2, 3, 4)));
        add({"00 0b 03 00 00 00 00 00 f1"}, settle, 0, CMD(hid553_0BH_SetCurrentDPI(3)));
        add({"00 0c 01 02 03 00 00 00 ed"}, settle, 0, CMD(hid553_0CH_SetFixLEDColor(d)));
        add({"00 0d 02 03 04 00 00 00 e9"}, settle, 0, CMD(hid553_0DH_SetRGBLedEffect(2, 3, 4)));
        add({"00 10 02 04 00 00 00 00 e9"}, withData(1), 4,
            CMD(hid553_10H_SetLED8StageColor(2, d)));
        add({"00 10 00 18 00 00 00 00 d7"}, withData(1), 24,
            CMD(hid553_10H_SetLED8StageColor(0, d)));
        add({"00 11 03 08 00 00 00 00 e3"}, withData(1), 8, CMD(hid553_11H_SetDPISet(3, d)));
        add({"00 12 02 40 08 00 00 00 a3"}, withData(2), 64, CMD(hid553_12H_SetKeyMatrix(d, 2)));
        add({"00 13 05 80 00 00 00 00 67"}, withData(4), 128, CMD(hid553_13H_SetMacroKey(5, d)));
        add({"00 01 08 00 00 00 00 00 f6"}, {8}, 0, CMD(hid560_01H_SetKeyboardoption(8, 0)));
        add({"00 02 03 00 00 00 00 00 fa"}, {8}, 0, CMD(hid560_02H_SetCurrentProfile(3)));
        // Once per profile, or for the current one alone on a gun mouse.
        const QStringList rates{"00 03 01 02 00 00 00 00 f9", "00 03 02 02 00 00 00 00 f8",
                                "00 03 03 02 00 00 00 00 f7", "00 03 04 02 00 00 00 00 f6"};
        add(rates, QList<int>(8, 64), 0, CMD(hid560_03H_SetReportRate(2)));
        add({"00 04 01 03 00 00 00 00 f7", "00 04 02 03 00 00 00 00 f6",
             "00 04 03 03 00 00 00 00 f5", "00 04 04 03 00 00 00 00 f4"},
            QList<int>(8, 64), 0, CMD(hid560_04H_SetCurrentDPI(3)));
        add({"00 0c 02 80 00 00 00 00 71"}, withData(4), 128, CMD(hid560_0CH_setProfile(d, 2)));
        // The 64-byte matrix goes out padded to 128 bytes.
        add({"00 0d 01 80 00 00 00 00 71"}, withData(4), 64, CMD(hid560_0DH_SetKeyMatrix(d, 1)));
        add({"00 0f 03 80 00 00 00 00 6d"}, withData(4), 128, CMD(hid560_0FH_SetMacroKey(3, d)));
        isGun = true;
        add(rates.mid(0, 1), settle, 0, CMD(hid560_03H_SetReportRate(2)));
    }

    void setCommands()
    {
        QFETCH(bool, encode);
        QFETCH(int, family);
        QFETCH(bool, isGun);
        QFETCH(QStringList, reports);
        QFETCH(QList<int>, pauses);
        QFETCH(int, dataBytes);
        QFETCH(Call, call);

        LinkRig rig(family, encode, isGun);
        QVERIFY(rig.confirm());
        QByteArray source = pattern(128);
        call(rig.link, bytesOf(source));

        QStringList sent;
        QByteArray written;
        for (const VirtualMouse::Received &r : rig.mouse->received()) {
            if (r.channel == VirtualMouse::Channel::Feature) {
                sent << QString::fromLatin1(r.plain.toHex(' '));
                // On the wire: bytes 1 to 8 scrambled exactly when the row says so.
                QByteArray expected = r.plain;
                if (encode)
                    HidProtocol::scramble(bytesOf(expected) + 1, processState.secrecyCode);
                QCOMPARE(r.bytes, expected);
            } else {
                QCOMPARE(r.bytes.size(), 33);
                QCOMPARE(r.bytes.at(0), '\0');
                written += r.bytes.mid(1);
            }
        }
        QCOMPARE(sent, reports);
        // Nothing beyond its length is read from the source.
        QCOMPARE(written.left(dataBytes), pattern(dataBytes));
        QCOMPARE(written.mid(dataBytes), QByteArray(written.size() - dataBytes, '\0'));
        QCOMPARE(rig.pauses, pauses);
        QCOMPARE(rig.mouse->protocolErrors(), QStringList());
        QVERIFY(rig.link.linkFree());
    }

    void queriesAnswerFromTheMouse()
    {
        for (bool encode : {false, true}) {
            LinkRig rig553(553, encode);
            QVERIFY(rig553.confirm());
            rig553.link.hid553_03H_SetKeyboardoption(0x11, 0x22, 0x33, 0x44);
            rig553.mouse->pressDpiButton(5);
            const QByteArray option = ask83(rig553.link);
            QCOMPARE(option + char(ask8B(rig553.link)), hex("1122334405"));
            QCOMPARE(rig553.mouse->commands().last(), hex("008b000000000000 74"));
            // A short reply leaves the positions not answered at their presets;
            // a long garbage one is cut at nine bytes.
            // Garbage into a scrambled link does no harm either.
            rig553.mouse->setReplyOverride(hex("008305"));
            const QByteArray shortReply = ask83(rig553.link);
            rig553.mouse->setReplyOverride(QByteArray(64, '\xEE'));
            const QByteArray longReply = ask83(rig553.link);
            if (!encode)
                QCOMPARE(shortReply + longReply, hex("05020304 eeeeeeee"));
            QVERIFY(rig553.link.linkFree());

            LinkRig rig560(560, encode);
            QVERIFY(rig560.confirm());
            rig560.link.hid560_01H_SetKeyboardoption(0x08, 0x02);
            rig560.link.hid560_02H_SetCurrentProfile(3);
            rig560.mouse->pressDpiButton(6);
            uchar a = 0, b = 0, profile = 0;
            rig560.link.hid560_81H_GetKeyboardoption(a, b);
            rig560.link.hid560_82H_GetCurrentProfile(profile);
            QCOMPARE((QList<int>{a, b, profile} + ask84(rig560.link)),
                     (QList<int>{0x08, 0x02, 3, 1, 6}));
            QCOMPARE(rig560.mouse->commands().last(), hex("0084010000000000 7a"));
            QCOMPARE(rig560.pauses, (QList<int>{8, 8})); // queries do not pause
        }
    }

    void profileRoundTrip()
    {
        for (int reportLength : {32, 64}) {
            const bool encode = reportLength == 64;
            LinkRig rig(560, encode, false, reportLength);
            QVERIFY(rig.confirm());
            QCOMPARE(ask8C(rig.link, 3), rig.mouse->state().profiles.at(3));
            QCOMPARE(rig.mouse->commands(), QList<QByteArray>{hex("008c03000000000070")});
            QCOMPARE(rig.pauses, QList<int>());

            QByteArray mine = pattern(128);
            rig.link.hid560_0CH_setProfile(bytesOf(mine), 4);
            QCOMPARE(ask8C(rig.link, 4), pattern(128));
            const int dataReports = 128 / reportLength;
            QList<int> sizes;
            for (const VirtualMouse::Received &r : rig.mouse->received())
                sizes << r.bytes.size();
            QCOMPARE(sizes, (QList<int>{9, 9} + QList<int>(dataReports, reportLength + 1) << 9));
            QCOMPARE(rig.pauses, (QList<int>{64, 64} + QList<int>(dataReports, 120) << 64 << 64));
            QCOMPARE(rig.mouse->protocolErrors(), QStringList());
        }
    }

    void failedQueriesHandPresetsBack_data()
    {
        QTest::addColumn<Breakage>("breakLink");
        QTest::addColumn<int>("reached"); // commands the mouse saw
        using Rig = LinkRig &;
        QTest::newRow("unplugged") << Breakage([](Rig r) { r.mouse->unplug(); }) << 0;
        QTest::newRow("not answering")
            << Breakage([](Rig r) { r.mouse->setAnswering(false); }) << 6;
        for (int index : {1, 7, -1}) {
            QTest::addRow("index %d outside the table", index)
                << Breakage([index](Rig r) { QVERIFY(!r.link.chkDeviceIsEnCode(index)); }) << 0;
        }
        QTest::newRow("no table") << Breakage([](Rig r) {
            r.link.setDeviceTable({});
            QVERIFY(!r.link.chkDeviceIsEnCode(0));
        }) << 0;
    }

    void failedQueriesHandPresetsBack()
    {
        QFETCH(Breakage, breakLink);
        QFETCH(int, reached);
        LinkRig rig(560, true);
        QVERIFY(rig.confirm());
        breakLink(rig);

        rig.link.hid553_01H_SetReportRate(1);
        uchar s[4] = {1, 2, 3, 4};
        rig.link.hid553_00H_GetSecrecyCode(s[0], s[1], s[2], s[3]);
        const QList<int> d84 = ask84(rig.link);
        QCOMPARE(ask83(rig.link) + char(ask8B(rig.link)) + char(d84.at(0)) + char(d84.at(1)) +
                     QByteArray(reinterpret_cast<char *>(s), 4),
                 hex("01020304 06 0107 00000000"));
        QCOMPARE(ask8C(rig.link, 0), QByteArray(128, '\x5A'));
        QVERIFY(rig.link.linkFree());
        QVERIFY(!rig.link.lastExchangeOk());
        QCOMPARE(rig.mouse->commands().size(), reached);
    }

    // A dropped command leaves the lock alone, says so once (not once per
    // report of a sequence), and hands the presets back.
    void busyLinkDropsTheCommand()
    {
        const std::pair<const char *, Call> calls[] = {
            {"cmd Failed 01",
             [](Hid_Thread &h, uchar *) {
                 h.hid553_01H_SetReportRate(1);
             }},
            {"cmd Failed 8BH",
             [](Hid_Thread &h, uchar *) {
                 QCOMPARE(ask8B(h), 6);
             }},
            {"cmd Failed 03", [](Hid_Thread &h, uchar *) {
                 h.hid560_03H_SetReportRate(1);
             }}};
        for (const auto &[line, call] : calls) {
            LinkRig rig(553, true);
            QVERIFY(rig.confirm());
            rig.link.setLinkFree(false);
            QTest::ignoreMessage(QtWarningMsg, line);
            call(rig.link, nullptr);
            QCOMPARE(rig.mouse->received().size(), 0);
            QCOMPARE(rig.pauses, QList<int>(255, 8));
            QVERIFY(!rig.link.linkFree());
        }
    }

    void nestedCommandCannotSplitAProfileSequence()
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
        QTest::ignoreMessage(QtWarningMsg, "cmd Failed 02");
        rig.link.hid560_04H_SetCurrentDPI(3);
        poke.stop();

        QByteArray sent;
        for (const QByteArray &r : rig.mouse->commands())
            sent += r.left(4);
        QCOMPARE(sent, hex("00040103 00040203 00040303 00040403"));
        QCOMPARE(rig.mouse->state().profileDpiStage, hex("0003030303"));
        // The nested command waited its turn, then gave up; the outer one
        // frees the link.
        QCOMPARE(rig.pauses.count(8), 255);
        QVERIFY(rig.link.linkFree());
    }

    void everyCallReopensTheInterfaceAndUnplugEmptiesThePath()
    {
        LinkRig rig(553, true);
        QVERIFY(rig.confirm());
        QByteArray m = pattern(64);
        rig.link.hid553_12H_SetKeyMatrix(bytesOf(m), 1);
        // The first open, then one for the command and one per data report;
        // none stays open after the exchange.
        QCOMPARE(rig.mouse->openCount(), 4);
        rig.mouse->clearRecord();
        ask8B(rig.link);
        QCOMPARE(rig.mouse->openCount(), 3); // first open, send, get
        QCOMPARE(rig.mouse->openHandles(), 0);
        rig.mouse->clearRecord();
        rig.pauses.clear();
        rig.mouse->unplugAfterReports(2); // the command and the first data report
        QByteArray d = pattern(128);
        rig.link.hid553_13H_SetMacroKey(1, bytesOf(d));
        QCOMPARE(rig.mouse->received().size(), 2);
        QVERIFY(rig.link.linkFree());
        QCOMPARE(rig.pauses, (QList<int>{64, 64, 120}));
        QCOMPARE(rig.mouse->openHandles(), 0);
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

    void impossibleReportLength()
    {
        for (int reportLength : {0, -3, 100000}) {
            LinkRig rig(560, true, false, reportLength);
            QVERIFY(rig.confirm());
            QByteArray d = pattern(128);
            rig.link.hid560_0CH_setProfile(bytesOf(d), 0);
            QVERIFY(!rig.link.lastExchangeOk());
            QCOMPARE(ask8C(rig.link, 0), QByteArray(128, '\x5A'));
            QVERIFY(rig.link.linkFree());
            // Refused before the command report: a firmware told that data
            // follows would wait for it.
            QCOMPARE(rig.mouse->received().size(), 0);
            rig.link.hid553_01H_SetReportRate(1); // no data: goes through
            QVERIFY(rig.link.lastExchangeOk());
        }
    }

    void hidapiRefusesANullHandle()
    {
        HidapiBackend backend;
        uchar d[9] = {};
        QCOMPARE((QList<int>{backend.sendFeatureReport(nullptr, d, 9),
                             backend.getFeatureReport(nullptr, d, 9), backend.write(nullptr, d, 9),
                             backend.read(nullptr, d, 9), backend.readTimeout(nullptr, d, 9, 0)}),
                 QList<int>(5, -1));
    }

    void identityExchange()
    {
        // The mouse is built with 370524; a plain link ignores the code.
        for (const auto &[isEncode, tableCode, confirmed] : {std::tuple{false, "370524", true},
                                                             {true, "370524", true},
                                                             {true, "111111", false},
                                                             {false, "111111", true}}) {
            LinkRig rig(553, isEncode);
            DeviceTable table = rig.link.deviceTable();
            table[0].sCode = QLatin1String(tableCode);
            rig.link.setDeviceTable(table);
            rig.link.setDraw(nullptr); // the real random source
            QCOMPARE(rig.link.chkDeviceIsEnCode(0), confirmed);
            QCOMPARE(rig.link.currentIndex(), 0);
            QCOMPARE(QByteArray(reinterpret_cast<char *>(processState.secrecyCode), 8),
                     QByteArray(1, '\0') + tableCode + QByteArray(1, '\0'));
            const QList<VirtualMouse::Received> sent = rig.mouse->received();
            QCOMPARE(sent.size(), 1);
            QCOMPARE(sent.at(0).bytes.at(0), '\0');
        }
    }

    void identityExchangeNeedsTheLink()
    {
        LinkRig rig(553, true);
        QVERIFY(rig.link.chkDeviceIsEnCode(0));

        // Dropped for a busy link: the drawn values are still in place, yet
        // nothing was exchanged.
        rig.link.setLinkFree(false);
        QTest::ignoreMessage(QtWarningMsg, "cmd Failed 00");
        QVERIFY(!rig.link.chkDeviceIsEnCode(0));
        rig.link.setLinkFree(true);

        // A transport failure gives zeros; zeros drawn do not make it a match.
        rig.link.setDraw([] { return std::array<uchar, 4>{}; });
        rig.mouse->unplug();
        QVERIFY(!rig.link.chkDeviceIsEnCode(0));

        // An sCode not six characters long leaves the previous secrecy code
        // in place.
        LinkRig other(553, true);
        DeviceTable table = other.link.deviceTable();
        table[0].sCode = QStringLiteral("1234567");
        other.link.setDeviceTable(table);
        QVERIFY(other.link.chkDeviceIsEnCode(0));
        QCOMPARE(QByteArray(reinterpret_cast<char *>(processState.secrecyCode), 8),
                 QByteArray(1, '\0') + "370524" + QByteArray(1, '\0'));
    }
};

QTEST_GUILESS_MAIN(tst_HidThread)
#include "tst_hid_thread.moc"
