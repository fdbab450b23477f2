#include "bytes.h"
#include "deviceoperations.h"
#include "linkrig.h"
#include "myqquickview.h"
#include "settingsstore.h"
#include "testdatafolder.h"

#include <QQmlContext>
#include <QQmlExpression>
#include <QSettings>
#include <QTest>
#include <memory>

using Bytes = QByteArray;

namespace {
// `data` in one data report of the rig's length.
Bytes report32(const Bytes &data)
{
    return data + Bytes(32 - data.size(), '\0');
}

// The factory profile blocks of the virtual mouse replaced by a pattern
// that differs per block, so that a patch shows where it landed.
Bytes blockPattern(int n)
{
    Bytes block(128, '\0');
    for (int i = 0; i < 128; ++i)
        block[i] = char((i * 7 + n * 31 + 1) & 0xFF);
    return block;
}

struct Flags
{
    int family = 553;
    bool isColorful = false;
    bool isGun = false;
    bool is55328 = false;
};

// The screen's built-in table: buttons, DPI+/-, double click at 7; with
// `gunSwitch`, button 4 switches between two presets.
QVariantList defaultRecords(bool gunSwitch = false)
{
    QVariantList list;
    for (int c :
         {0, 0, 0xF0, 0, 0, 0, 0xF1, 0,    0, 0, 0xF2, 0, 0, 0, 0xF4, 0, 0, 0, 0xF3, 0, 5, 0, 1,
          0, 5, 0,    2, 0, 0, 0xF0, 0x1E, 2, 0, 0,    0, 0, 0, 0,    0, 0, 0, 0,    0, 0, 0, 0,
          0, 0, 0,    0, 0, 0, 0,    0,    0, 0, 0xFF, 0, 1, 0, 0xFF, 0, 2, 0})
        list << c;
    if (gunSwitch) {
        list[3 * 4] = 8;
        list[3 * 4 + 2] = 2;
    }
    return list;
}
} // namespace
Q_DECLARE_METATYPE(Flags)

// A view over a virtual mouse of the configured family and flags, the
// mouse confirmed and its record cleared. The reads of the `unread` profile
// blocks lose their reply.
struct ViewRig
{
    explicit ViewRig(const Flags &flags, const QList<int> &unread = {})
        : rig(flags.family, true, flags.isGun)
    {
        {
            QSettings config(QStringLiteral("modules/setting/apConfig.bin"), QSettings::IniFormat);
            config.setValue("mouse/icType", QString::number(flags.family));
            config.setValue("mouse/isColorful", flags.isColorful);
            config.setValue("mouse/isGun", flags.isGun);
            config.setValue("mouse/is55328", flags.is55328);
        }
        view = std::make_unique<myQQuickView>();
        view->setDeviceLink(&rig.link);
        for (int n = 0; n < 5; ++n)
            rig.mouse->setProfileBlock(n, blockPattern(n));
        ok = rig.link.chkDeviceIsEnCode(0);
        if (flags.family == 560) {
            for (uint n = 0; n < 5; ++n) {
                if (unread.contains(int(n)))
                    rig.mouse->setFault(VirtualMouse::Fault::DropReply);
                view->mouseReadProfile(n);
            }
        }
        rig.mouse->clearRecord();
    }

    // The payload of every data report, in order.
    Bytes written() const
    {
        Bytes data;
        for (const VirtualMouse::Received &r : rig.mouse->received()) {
            if (r.channel == VirtualMouse::Channel::Output)
                data += r.bytes.mid(1);
        }
        return data;
    }

    // `script` run as the scene runs it, with the view as its scope.
    bool run(const QString &script)
    {
        QQmlExpression expression(view->rootContext(), view.get(), script);
        expression.evaluate();
        if (expression.hasError())
            qWarning("%s", qPrintable(expression.error().toString()));
        return !expression.hasError();
    }

    // The command reports without their checksum and trailing zeros.
    QString commands() const
    {
        QStringList list;
        for (const Bytes &c : rig.mouse->commands()) {
            QString text = QString::fromLatin1(c.left(8).toHex(' '));
            while (text.endsWith(QLatin1String(" 00")))
                text.chop(3);
            list << text;
        }
        return list.join(QLatin1String(", "));
    }

    LinkRig rig;
    std::unique_ptr<myQQuickView> view;
    bool ok = false;
};

namespace {
const Flags plain553{553}, colourful553{553, true}, plain55328{553, false, false, true},
    gun553{553, true, true}, plain560{560}, colourful560{560, true}, gun560{560, true, true};
}

class tst_DeviceSlots : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_folder = std::make_unique<TestDataFolder>(); }
    void cleanup() { m_folder.reset(); }

    // The calls are made as the scene makes them: a script on the view.
    void commands_data()
    {
        QTest::addColumn<Flags>("flags");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("reports");
        QTest::addColumn<Bytes>("written");
        const auto row = [](const char *name, Flags flags, const QString &script,
                            const char *reports, Bytes written = Bytes()) {
            QTest::newRow(name) << flags << script << QString(reports) << written;
        };
        row("DPI, 553", plain553,
            "mouseSetDpi(3, '3360', [400, 800, 1600, 3200, 6400, 100, 200, 300])", "00 11 03 08",
            report32(hex("03070f8080808080")));
        row("report rate, 560", plain560, "mouseSetReportRate(2)",
            "00 03 01 02, 00 03 02 02, 00 03 03 02, 00 03 04 02");
        row("current DPI, 560 with guns", gun560, "mouseSetCurrentDPI(4)", "00 04 01 04");
        // Code 03H would be a report rate on family 560.
        row("keyboard option, 560", plain560, "mouseSetKeyboardoption(1, 2, 3, 4)", "00 01 01 02");
        row("switch matrix 1, 560", plain560, "mouseSwitchKeyMatrix(1)", "00 02 01");
        row("effect 5, colourful", colourful553, "mouseSetRGBEffect(5, 2, 4)", "00 0d 05 ff 05");
        row("effect 4, plain", plain553, "mouseSetRGBEffect(4, 1, 0)", "00 0d 02 02 02");
        row("effect 4, is55328", plain55328, "mouseSetRGBEffect(4, 1, 0)", "00 0d 02 02 03");
        row("colours twice without is55328", plain553, "mouseSetRGBColor(1, [1, 2, 3])",
            "00 10 01 18, 00 10 01 18", report32(hex("010203")).repeated(2));
        row("colours, type 2", colourful553, "mouseSetRGBColor(2, [1, 2, 3])",
            "00 10 02 04, 00 10 02 04", report32(hex("01020300")).repeated(2));
        row("is55328, stage 8 coloured", plain55328,
            "mouseSetRGBColor(3, Array.from({length: 24}, (x, i) => i == 22 ? 7 : 0))",
            "00 10 00 18", report32(Bytes(22, '\0') + hex("0700")));
        row("is55328, one colour", plain55328, "mouseSetRGBColor(3, [9, 8, 7])", "00 0c 09 08 07");
        row("gun data negated with the keyboard option", gun553,
            "mouseSendGundata(2, [10, 20, 5]); mouseSetKeyboardoption(0, 0, 1, 0);"
            "mouseSendGundata(3, [10, 20, 5]); mouseSendGundata(1, [10])",
            "00 83, 00 04 00 0a 14 05 01, 00 03 00 00 01, 00 83, 00 04 00 0a 14 fb 02, 00 83, "
            "00 04 00 0a");
        row("gun data without guns, 553", colourful553, "mouseSendGundata(1, [10, 20, 5])", "");
        row("gun data without guns, 560", plain560, "mouseSendGundata(1, [10, 20, 5])", "");
        row("gun slot 0 or 4, update", gun560,
            "for (const slot of [0, 4, -1]) mouseSendGundata(slot, [10, 20, 5]); openUpdateExe()",
            "");
        row("block numbers above four", gun560,
            "mouseSetProfile(5); mouseReadProfile(5); mouseSetProfile(4294967295)", "");
        // Slots 0 to 11 by the low byte. Longer than the block, or filling it
        // without the end: not sent.
        const char *macros = "const d = Array.from({length: 126}, (x, i) => i).concat([0, 256]);"
                             "mouseSendMacroData(d, 11); mouseSendMacroData(d, 12);"
                             "mouseSendMacroData(d.concat([0, 0]), 10);"
                             "mouseSendMacroData(d.slice(0, 127).concat([5]), 10);"
                             "mouseSendMacroData([1, 2], '0'); mouseSendMacroData([1, 2, 3], 4)";
        const Bytes blocks = pattern(126).prepend('\0').left(126) + hex("0000 0102") +
                             Bytes(126, '\0') + report32(hex("010203")) + Bytes(96, '\0');
        row("macro slots, 553", plain553, macros, "00 13 0c 80, 00 13 01 80, 00 13 05 80", blocks);
        row("macro slots, 560", plain560, macros, "00 0f 0c 80, 00 0f 01 80, 00 0f 05 80", blocks);
        // Stored first without sending. Slots 5..9 carry records 8, 7, 7, 6, 5;
        // the double click goes out as a double click.
        QStringList records;
        for (const QVariant &code : defaultRecords())
            records << code.toString();
        const QString keys = QString("const r = [%1]; mouseSetKeyMatrix(r, false, [1, 2, 3]);"
                                     "mouseSetKeyMatrix(r, true, [1, 2, 3])")
                                 .arg(records.join(','));
        const Bytes matrix1 = hex("0100f000 0100f100 0100f200 0100f400 0100f300 01000000 "
                                  "0af01e02 0af01e02 07000200 07000100 01000000 01000000 "
                                  "01000000 01000000 04000100 04000200");
        row("key matrix, 553", gun553, keys, "00 12 01 40 08", matrix1);
        row("key matrix, 560", gun560, keys, "00 0d 01 80", matrix1 + Bytes(64, '\0'));
        // The delivered firmware table, untranslated; codes a record lacks go
        // out as zeros.
        const QString reset = "setDataList('mouseFwKeyMatrix/1', [9, 8]);"
                              "setDataList('mouseFwKeyMatrix/2', []); mouseResetKeyMatrix()";
        const Bytes table = hex("0100f000 09080000 00000000") + matrix1.mid(12);
        row("reset, 553", plain553, reset, "00 12 02 40 08, 00 12 03 40 08, 00 12 04 40 08",
            table.repeated(3));
        row("reset, 560", plain560, reset, "00 0d 02 80, 00 0d 03 80, 00 0d 04 80",
            (table + Bytes(64, '\0')).repeated(3));
    }

    void commands()
    {
        QFETCH(Flags, flags);
        QFETCH(QString, script);
        QFETCH(QString, reports);
        QFETCH(Bytes, written);
        ViewRig r(flags);
        QVERIFY(r.ok);
        QVERIFY(r.run(script));
        QCOMPARE(r.commands(), reports);
        QVERIFY(r.view->deviceProfile(5).isEmpty());
        QCOMPARE(r.written(), written);
        QCOMPARE(r.rig.mouse->protocolErrors(), QStringList());
    }

    // Family 560 reads a profile block before it patches and sends it; the
    // reads of the `unread` blocks lose their reply, and the mouse answers
    // again if `readable`. Patches as "blocks:offset:bytes" over the pattern.
    void profileBlocks_data()
    {
        QTest::addColumn<Flags>("flags");
        QTest::addColumn<QString>("unread");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("reports");
        QTest::addColumn<QString>("patches");
        const auto row = [](const char *name, Flags flags, const char *unread, bool readable,
                            const char *script, const char *reports, const QString &patches) {
            QTest::newRow(name) << flags << QString(unread) << readable << QString(script)
                                << QString(reports) << patches;
        };
        const char *effect = "mouseSetRGBEffect(5, 2, 4)";
        const char *all = "00 0c 01 80, 00 0c 02 80, 00 0c 03 80, 00 0c 04 80";
        row("DPI 3389, guns", gun560, "", true,
            "mouseSetDpi(4, '3389', [400, 12800, 12799, 20000, 100, 100, 100, 13000])", all,
            "1234:82:8a8a0800ff90020202040800ff90020202040f");
        row("DPI 3360 short list, no guns", plain560, "", true,
            "mouseSetDpi(3, '3360', [400, 800, 1600])", "00 0c 01 80",
            "1234:84:03070fffffffffff03070fffffffffff07");
        row("effect, colourful without guns", colourful560, "", true, effect, "00 0c 01 80",
            "1234:71:05ff05");
        row("effect, plain without guns", plain560, "", true, "mouseSetRGBEffect(4, 1, 0)",
            "00 0c 01 80", "234:71:020202 1:71:020203");
        row("effect, plain with guns", {560, false, true}, "", true, "mouseSetRGBEffect(4, 1, 0)",
            all, "1234:71:020202");
        const QString zeros(42, QLatin1Char('0'));
        row("colours, colourful", gun560, "", true, "mouseSetRGBColor(7, [10, 11, 12])",
            "00 0c 00 80", "0:24:0a0b0c" + zeros);
        row("colours, plain", {560, false, true}, "", true, "mouseSetRGBColor(7, [10, 11, 12])",
            "00 0c 01 80", "1:104:0a0b0c" + zeros);
        // Gun slot 2 lives in block 3.
        const char *gunSlot2 = "mouseSendGundata(2, [300, -3, 5, 99])";
        const QString gunPatch =
            QString("3:65:%1 3:78:f02cfd05")
                .arg(uchar(blockPattern(3).at(65)) & ~0x04, 2, 16, QLatin1Char('0'));
        row("gun slot read again", gun560, "3", true, gunSlot2, "00 8c 03, 00 0c 03 80", gunPatch);
        row("gun slot unreadable", gun560, "3", false, gunSlot2, "00 8c 03", "");
        row("profile read again", gun560, "2", true, "mouseSetProfile(2)", "00 8c 02, 00 0c 02 80",
            "");
        row("profile unreadable", gun560, "0", false, "mouseSetProfile(0)", "00 8c", "");
        row("effect, unreadable", colourful560, "1", false, effect, "00 8c 01", "1234:71:05ff05");
        row("effect, one of the gun blocks unreadable", gun560, "3", false, effect,
            "00 8c 03, 00 0c 01 80, 00 0c 02 80, 00 0c 04 80", "1234:71:05ff05");
    }

    void profileBlocks()
    {
        QFETCH(Flags, flags);
        QFETCH(QString, unread);
        QFETCH(bool, readable);
        QFETCH(QString, script);
        QFETCH(QString, reports);
        QFETCH(QString, patches);
        QList<int> unreadBlocks;
        for (QChar n : unread)
            unreadBlocks << n.digitValue();
        ViewRig r(flags, unreadBlocks);
        QVERIFY(r.ok);
        QList<Bytes> expected;
        for (int n = 0; n < 5; ++n) {
            expected << blockPattern(n);
            QCOMPARE(r.view->deviceProfile(n),
                     unread.contains(QString::number(n)) ? Bytes(128, '\0') : expected.at(n));
        }
        r.rig.mouse->setAnswering(readable);
        if (!readable)
            QTest::ignoreMessage(QtWarningMsg, "cmd Failed 0C");
        const quint64 failedBefore = r.view->deviceOperations().failedOperations();
        QVERIFY(r.run(script));

        QCOMPARE(r.commands(), reports);
        for (const QString &patch : patches.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QStringList part = patch.split(QLatin1Char(':'));
            const Bytes bytes = Bytes::fromHex(part.at(2).toLatin1());
            for (QChar n : part.at(0))
                expected[n.digitValue()].replace(part.at(1).toInt(), bytes.size(), bytes);
        }
        // The view keeps every patch over what it read; the mouse has what
        // was sent, and never a block the view could not read.
        for (int n = 0; n < 5; ++n) {
            if (readable || !unread.contains(QString::number(n)))
                QCOMPARE(r.view->deviceProfile(n), expected.at(n));
            const bool sent = reports.contains(QStringLiteral("00 0c 0%1").arg(n));
            QCOMPARE(r.rig.mouse->state().profiles.at(n), sent ? expected.at(n) : blockPattern(n));
        }
        QCOMPARE(r.view->deviceOperations().lastFailed(), !readable);
        QCOMPARE(r.view->deviceOperations().failedOperations() - failedBefore,
                 quint64(readable ? 0 : 1));
        QCOMPARE(r.rig.mouse->protocolErrors(), QStringList());
    }

    void queriesAnswerFromTheMouse()
    {
        for (int family : {553, 560}) {
            ViewRig r({family, true});
            QVERIFY(r.ok);
            r.view->mouseSetKeyboardoption(0x11, 0x22, 0x33, 0x44);
            QCOMPARE(r.view->GetKeyboardoption(), family == 560
                                                      ? (QVariantList{0x11, 0x22, 0, 0})
                                                      : (QVariantList{0x11, 0x22, 0x33, 0x44}));
            r.rig.mouse->pressDpiButton(5);
            QCOMPARE(r.view->mouseGetCurrentDPI(), QVariant(5));
            QVERIFY(r.commands().endsWith(family == 560 ? "00 81, 00 84 01" : "00 83, 00 8b"));
            QVERIFY(!r.view->deviceOperations().lastFailed());
            // A stage the mouse cannot have leaves the scene's own.
            r.rig.mouse->pressDpiButton(9);
            QTest::ignoreMessage(QtWarningMsg, "DPI stage 9 ignored");
            QCOMPARE(r.view->mouseGetCurrentDPI(), QVariant());
            if (family == 560) {
                r.rig.link.hid560_02H_SetCurrentProfile(3);
                QCOMPARE(r.view->mouseReadCurrentProfile(), QVariant(3));
            }
        }
        // A mouse that does not answer gives the starting values back.
        ViewRig r({553, true});
        QVERIFY(r.ok);
        r.rig.mouse->setAnswering(false);
        QCOMPARE(r.view->GetKeyboardoption(), (QVariantList{0, 0, 0, 0}));
        QVERIFY(r.view->deviceOperations().lastFailed());
        // The failed query has said so; no "ignored" stage on top of it.
        QTest::failOnWarning(QRegularExpression("DPI stage"));
        QCOMPARE(r.view->mouseGetCurrentDPI(), QVariant());
        QCOMPARE(r.view->mouseReadCurrentProfile(), QVariant(0));
    }

    // With a gun switch on button 4, matrices 2..4 are the delivered firmware
    // table, untranslated, with the fire period entries and the switch.
    void gunSwitch()
    {
        for (int family : {553, 560}) {
            ViewRig r({family, true, true});
            QVERIFY(r.ok);
            r.view->mouseSetKeyMatrix(defaultRecords(true), true, {150, 200});
            const VirtualMouse::State state = r.rig.mouse->state();
            QStringList heads{r.commands()};
            for (int m = 1; m <= 4; ++m)
                heads << state.keyMatrices.value(m).left(16).toHex();
            QCOMPARE(
                heads.join(' '),
                family == 560
                    ? "00 0c 00 80, 00 0d 01 80, 00 0d 02 80, 00 0d 03 80, 00 0d 04 80, 00 02 01 "
                      "0100f0000100f1000100f20008000100 0b0096000100f1000100f20008000300 "
                      "0b01c8000100f1000100f20008000000 0b0200000100f1000100f20008000000"
                    : "00 12 01 40 08, 00 12 02 40 08, 00 12 03 40 08, 00 12 04 40 08, "
                      "00 02 01 0100f0000100f1000100f20008000101 "
                      "0b0096000100f1000100f20008000102 0b01c8000100f1000100f20008000100 "
                      "0b0200000100f1000100f20008000100");
            Bytes block0 = blockPattern(0);
            block0[2] = 15;
            QCOMPARE(state.profiles.at(0), family == 560 ? block0 : blockPattern(0));
            QCOMPARE(r.rig.mouse->protocolErrors(), QStringList());
        }
    }

    void unplugDuringAGunSwitchSend()
    {
        ViewRig r(gun560);
        QVERIFY(r.ok);
        // Gone while the first key matrix is being written.
        r.rig.mouse->unplugAfterReports(7);
        r.view->mouseSetKeyMatrix(defaultRecords(true), true, {150, 200, 250});
        QCOMPARE(r.commands(), "00 0c 00 80, 00 0d 01 80");
        QVERIFY(!r.rig.mouse->state().keyMatrices.contains(1));
        QVERIFY(r.rig.link.linkFree());
        // The records are stored and the view keeps its block whatever the
        // device took.
        QCOMPARE(r.view->mouseGetKeydefine(3, false), (QVariantList{8, 0, 2, 0}));
        QCOMPARE(int(r.view->deviceProfile(0).at(2)), 15);
    }

    void withoutLinkNothingHappens()
    {
        myQQuickView view;
        QVERIFY(!view.deviceLink());
        view.clearHidBusy();
        view.mouseSetDpi(2, "3360", {400, 800});
        view.mouseSetKeyMatrix(defaultRecords(), true, {});
        QCOMPARE(view.GetKeyboardoption(), (QVariantList{0, 0, 0, 0}));
        QCOMPARE(view.mouseSendMacroData({1}, 0), QVariant(true));
        QCOMPARE(view.mouseGetKeydefine(7, false), (QVariantList{0, 0xF0, 0x1E, 2}));
    }

private:
    std::unique_ptr<TestDataFolder> m_folder;
};

QTEST_MAIN(tst_DeviceSlots)
#include "tst_deviceslots.moc"
