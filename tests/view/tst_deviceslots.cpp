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
// The factory profile blocks of the virtual mouse replaced by a pattern
// that differs per block, so that a patch shows where it landed.
Bytes blockPattern(int n)
{
    Bytes block(128, '\0');
    for (int i = 0; i < 128; ++i)
        block[i] = char((i * 7 + n * 31 + 1) & 0xFF);
    return block;
}

// The screen's built-in table as a script array: buttons, DPI+/-, double
// click at 7; with `gunSwitch`, button 4 switches between three presets.
QString defaultRecords(bool gunSwitch = false)
{
    const QString list =
        "[0, 0, 0xF0, 0, 0, 0, 0xF1, 0, 0, 0, 0xF2, 0, 0, 0, 0xF4, 0, 0, 0, 0xF3, 0, "
        "5, 0, 1, 0, 5, 0, 2, 0, 0, 0xF0, 0x1E, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "
        "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 1, 0, 0xFF, 0, 2, 0]";
    return gunSwitch ? QString(list).replace("0, 0, 0xF4, 0", "8, 0, 3, 0") : list;
}
} // namespace

// A view over a confirmed virtual mouse of `flags` ("560 colour gun 55328"),
// its record cleared. The reads of the `unread` profile blocks lose their reply.
struct ViewRig
{
    explicit ViewRig(const QString &flags, const QString &unread = {})
        : rig(flags.left(3).toInt(), true, flags.contains("gun"))
    {
        {
            QSettings config(QStringLiteral("modules/setting/apConfig.bin"), QSettings::IniFormat);
            config.setValue("mouse/icType", flags.left(3));
            config.setValue("mouse/isColorful", flags.contains("colour"));
            config.setValue("mouse/isGun", flags.contains("gun"));
            config.setValue("mouse/is55328", flags.contains("55328"));
        }
        view = std::make_unique<myQQuickView>();
        view->setDeviceLink(&rig.link);
        for (int n = 0; n < 5; ++n)
            rig.mouse->setProfileBlock(n, blockPattern(n));
        QVERIFY(rig.link.chkDeviceIsEnCode(0));
        for (uint n = 0; flags.startsWith("560") && n < 5; ++n) {
            if (unread.contains(QString::number(n)))
                rig.mouse->setFault(VirtualMouse::Fault::DropReply);
            view->mouseReadProfile(n);
        }
        rig.mouse->clearRecord();
    }

    Bytes written() const
    {
        Bytes data;
        for (const VirtualMouse::Received &r : rig.mouse->received())
            if (r.channel == VirtualMouse::Channel::Output)
                data += r.bytes.mid(1);
        return data;
    }

    void run(const QString &script)
    {
        QQmlExpression expression(view->rootContext(), view.get(), script);
        expression.evaluate();
        QVERIFY2(!expression.hasError(), qPrintable(expression.error().toString()));
    }

    // The command reports without their checksum and trailing zeros.
    QString commands() const
    {
        QStringList list;
        for (const Bytes &c : rig.mouse->commands())
            list << QString::fromLatin1(c.left(8).toHex(' ')).remove(QRegularExpression("( 00)+$"));
        return list.join(QLatin1String(", "));
    }

    LinkRig rig;
    std::unique_ptr<myQQuickView> view;
};

class tst_DeviceSlots : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_folder = std::make_unique<TestDataFolder>(); }
    void cleanup() { m_folder.reset(); }

    // Scripts on the view, as the scene calls it.
    void commands_data()
    {
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("reports");
        QTest::addColumn<Bytes>("written");
        const auto row = [](const char *name, const char *flags, const QString &script,
                            const char *reports, Bytes written = Bytes()) {
            QTest::newRow(name) << QString(flags) << script << QString(reports) << written;
        };
        row("DPI, 553", "553",
            "mouseSetDpi(3, '3360', [400, 800, 1600, 3200, 6400, 100, 200, 300])", "00 11 03 08",
            hex("03070f8080808080").leftJustified(32, '\0'));
        row("report rate, 560", "560", "mouseSetReportRate(2)",
            "00 03 01 02, 00 03 02 02, 00 03 03 02, 00 03 04 02");
        row("current DPI, 560 gun", "560 colour gun", "mouseSetCurrentDPI(4)", "00 04 01 04");
        // Code 03H would be a report rate on family 560.
        row("keyboard option, 560", "560", "mouseSetKeyboardoption(1, 2, 3, 4)", "00 01 01 02");
        row("switch matrix 1, 560", "560", "mouseSwitchKeyMatrix(1)", "00 02 01");
        row("effect 4, plain", "553", "mouseSetRGBEffect(4, 1, 0)", "00 0d 02 02 02");
        row("colours twice without is55328", "553", "mouseSetRGBColor(1, [1, 2, 3])",
            "00 10 01 18, 00 10 01 18", hex("010203").leftJustified(32, '\0').repeated(2));
        row("colours, type 2", "553 colour", "mouseSetRGBColor(2, [1, 2, 3])",
            "00 10 02 04, 00 10 02 04", hex("01020300").leftJustified(32, '\0').repeated(2));
        row("is55328, stage 8 coloured", "553 55328",
            "mouseSetRGBColor(3, Array.from({length: 24}, (x, i) => i == 22 ? 7 : 0))",
            "00 10 00 18", (Bytes(22, '\0') + hex("0700")).leftJustified(32, '\0'));
        row("gun data negated by the option", "553 colour gun",
            "mouseSendGundata(2, [10, 20, 5]); mouseSetKeyboardoption(0, 0, 1, 0);"
            "mouseSendGundata(3, [10, 20, 5]); mouseSendGundata(1, [10])",
            "00 83, 00 04 00 0a 14 05 01, 00 03 00 00 01, 00 83, 00 04 00 0a 14 fb 02, 00 83, "
            "00 04 00 0a");
        row("gun data without guns, 560", "560", "mouseSendGundata(1, [10, 20, 5])", "");
        row("gun slot 0 or 4, update", "560 colour gun",
            "for (const slot of [0, 4, -1]) mouseSendGundata(slot, [10, 20, 5]); openUpdateExe()",
            "");
        row("block numbers above four", "560 colour gun",
            "mouseSetProfile(5); mouseReadProfile(5); mouseSetProfile(4294967295)", "");
        // Slots 0 to 11 by the low byte. Longer than the block, or filling it
        // without the end: not sent.
        const char *macros = "const d = Array.from({length: 126}, (x, i) => i).concat([0, 256]);"
                             "mouseSendMacroData(d, 11); mouseSendMacroData(d, 12);"
                             "mouseSendMacroData(d.concat([0, 0]), 10);"
                             "mouseSendMacroData(d.slice(0, 127).concat([5]), 10);"
                             "mouseSendMacroData([1, 2], '0'); mouseSendMacroData([1, 2, 3], 4)";
        const Bytes blocks = pattern(126).prepend('\0').left(126) + hex("0000 0102") +
                             Bytes(126, '\0') + hex("010203").leftJustified(32, '\0') +
                             Bytes(96, '\0');
        row("macro slots, 560", "560", macros, "00 0f 0c 80, 00 0f 01 80, 00 0f 05 80", blocks);
        // Stored first without sending. Slots 5..9 carry records 8, 7, 7, 6, 5;
        // the double click goes out as a double click.
        const QString keys =
            "const r = " + defaultRecords() +
            "; mouseSetKeyMatrix(r, false, [1, 2, 3]); mouseSetKeyMatrix(r, true, [1, 2, 3])";
        const Bytes matrix1 = hex("0100f000 0100f100 0100f200 0100f400 0100f300 01000000 "
                                  "0af01e02 0af01e02 07000200 07000100 01000000 01000000 "
                                  "01000000 01000000 04000100 04000200");
        row("key matrix, 560", "560 colour gun", keys, "00 0d 01 80", matrix1 + Bytes(64, '\0'));
        // The delivered firmware table, untranslated; codes a record lacks go
        // out as zeros.
        const QString reset = "setDataList('mouseFwKeyMatrix/1', [9, 8]);"
                              "setDataList('mouseFwKeyMatrix/2', []); mouseResetKeyMatrix()";
        const Bytes table = hex("0100f000 09080000 00000000") + matrix1.mid(12);
        row("reset, 553", "553", reset, "00 12 02 40 08, 00 12 03 40 08, 00 12 04 40 08",
            table.repeated(3));
        row("reset, 560", "560", reset, "00 0d 02 80, 00 0d 03 80, 00 0d 04 80",
            (table + Bytes(64, '\0')).repeated(3));
    }

    void commands()
    {
        QFETCH(QString, flags);
        QFETCH(QString, script);
        QFETCH(QString, reports);
        QFETCH(Bytes, written);
        ViewRig r(flags);
        r.run(script);
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
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QString>("unread");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("reports");
        QTest::addColumn<QString>("patches");
        const auto row = [](const char *name, const char *flags, const char *unread, bool readable,
                            const char *script, const char *reports, const QString &patches) {
            QTest::newRow(name) << QString(flags) << QString(unread) << readable << QString(script)
                                << QString(reports) << patches;
        };
        const char *effect = "mouseSetRGBEffect(5, 2, 4)";
        const char *all = "00 0c 01 80, 00 0c 02 80, 00 0c 03 80, 00 0c 04 80";
        row("DPI 3389, guns", "560 colour gun", "", true,
            "mouseSetDpi(4, '3389', [400, 12800, 12799, 20000, 100, 100, 100, 13000])", all,
            "1234:82:8a8a0800ff90020202040800ff90020202040f");
        row("DPI 3360 short list, no guns", "560", "", true,
            "mouseSetDpi(3, '3360', [400, 800, 1600])", "00 0c 01 80",
            "1234:84:03070fffffffffff03070fffffffffff07");
        row("effect, colourful without guns", "560 colour", "", true, effect, "00 0c 01 80",
            "1234:71:05ff05");
        row("effect, plain without guns", "560", "", true, "mouseSetRGBEffect(4, 1, 0)",
            "00 0c 01 80", "234:71:020202 1:71:020203");
        const QString zeros(42, QLatin1Char('0'));
        row("colours, colourful", "560 colour gun", "", true, "mouseSetRGBColor(7, [10, 11, 12])",
            "00 0c 00 80", "0:24:0a0b0c" + zeros);
        row("colours, plain", "560 gun", "", true, "mouseSetRGBColor(7, [10, 11, 12])",
            "00 0c 01 80", "1:104:0a0b0c" + zeros);
        // Gun slot 2 lives in block 3; its byte 65 (25 in the pattern) drops bit 2.
        row("gun slot read again", "560 colour gun", "3", true,
            "mouseSendGundata(2, [300, -3, 5, 99])", "00 8c 03, 00 0c 03 80",
            "3:65:21 3:78:f02cfd05");
        row("profile read again", "560 colour gun", "2", true, "mouseSetProfile(2)",
            "00 8c 02, 00 0c 02 80", "");
        row("effect, unreadable", "560 colour", "1", false, effect, "00 8c 01", "1234:71:05ff05");
        row("effect, a gun block unreadable", "560 colour gun", "3", false, effect,
            "00 8c 03, 00 0c 01 80, 00 0c 02 80, 00 0c 04 80", "1234:71:05ff05");
    }

    void profileBlocks()
    {
        QFETCH(QString, flags);
        QFETCH(QString, unread);
        QFETCH(bool, readable);
        QFETCH(QString, script);
        QFETCH(QString, reports);
        QFETCH(QString, patches);
        ViewRig r(flags, unread);
        QList<Bytes> expected;
        for (int n = 0; n < 5; ++n)
            expected << blockPattern(n);
        r.rig.mouse->setAnswering(readable);
        if (!readable)
            QTest::ignoreMessage(QtWarningMsg, "cmd Failed 0C");
        const quint64 failedBefore = r.view->deviceOperations().failedOperations();
        r.run(script);

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
        const DeviceOperations &operations = r.view->deviceOperations();
        QCOMPARE(
            QList<quint64>({operations.lastFailed(), operations.failedOperations() - failedBefore}),
            QList<quint64>(2, readable ? 0 : 1));
        QCOMPARE(r.rig.mouse->protocolErrors(), QStringList());
    }

    // A block the mouse did not take is read again before the next patch:
    // the refused effect does not go out with the colours sent later.
    void refusedBlockIsReadAgain()
    {
        ViewRig r("560 colour");
        r.rig.mouse->setFault(VirtualMouse::Fault::Silent);
        r.run("mouseSetRGBEffect(5, 2, 4)");
        r.rig.mouse->setFault(VirtualMouse::Fault::None);
        r.rig.mouse->clearRecord();
        r.run("mouseSetDpi(3, '3360', [400, 800, 1600])");
        Bytes expected = blockPattern(1);
        expected.replace(84, 17, Bytes::fromHex("03070fffffffffff03070fffffffffff07"));
        QCOMPARE(r.commands(), QStringLiteral("00 8c 01, 00 0c 01 80"));
        QCOMPARE(r.rig.mouse->state().profiles.at(1), expected);
    }

    // Family 560 has two option bytes; a stage the mouse cannot have, or no
    // answer, leaves the scene's own values.
    void queries()
    {
        for (int family : {553, 560}) {
            ViewRig r(QString::number(family));
            r.view->mouseSetKeyboardoption(0x11, 0x22, 0x33, 0x44);
            r.rig.mouse->pressDpiButton(5);
            QCOMPARE(QVariantList({r.view->GetKeyboardoption(), r.view->mouseGetCurrentDPI()}),
                     QVariantList({family == 560 ? QVariantList{0x11, 0x22, 0, 0}
                                                 : QVariantList{0x11, 0x22, 0x33, 0x44},
                                   5}));
        }
        ViewRig r("553");
        r.rig.mouse->pressDpiButton(9);
        QTest::ignoreMessage(QtWarningMsg, "DPI stage 9 ignored");
        QCOMPARE(r.view->mouseGetCurrentDPI(), QVariant());
        r.rig.mouse->setAnswering(false);
        QTest::failOnWarning(QRegularExpression("DPI stage")); // the failure has said so
        QCOMPARE(QVariantList({r.view->GetKeyboardoption(), r.view->mouseGetCurrentDPI(),
                               r.view->mouseReadCurrentProfile()}),
                 QVariantList({QVariantList{0, 0, 0, 0}, QVariant(), 0}));
        QVERIFY(r.view->deviceOperations().lastFailed());
    }

    // With a gun switch on button 4, matrices 2..4 are the delivered firmware
    // table, untranslated, with the fire period entries and the switch; block
    // 0 carries the switch mask (31 for three presets; the mouse starts at
    // 15). Unplugged while the first matrix is written, the records stay
    // stored and the view keeps its block.
    void gunSwitch()
    {
        for (int unplugAfter : {0, 7}) {
            ViewRig r("560 colour gun");
            if (unplugAfter)
                r.rig.mouse->unplugAfterReports(unplugAfter);
            r.run("mouseSetKeyMatrix(" + defaultRecords(true) + ", true, [150, 200])");
            QStringList heads{r.commands()};
            for (int m = 1; m <= 4; ++m)
                heads << r.rig.mouse->state().keyMatrices.value(m).left(16).toHex();
            QCOMPARE(heads.join(' '),
                     unplugAfter
                         ? "00 0c 00 80, 00 0d 01 80    "
                         : "00 0c 00 80, 00 0d 01 80, 00 0d 02 80, 00 0d 03 80, 00 0d 04 80, 00 02 "
                           "01 0100f0000100f1000100f20008000100 0b0096000100f1000100f20008000300 "
                           "0b01c8000100f1000100f20008000300 0b0200000100f1000100f20008000000");
            QCOMPARE(int(r.rig.mouse->state().profiles.at(0).at(2)), 31);
            QCOMPARE(int(r.view->deviceProfile(0).at(2)), 31);
            QCOMPARE(r.view->mouseGetKeydefine(3, false), (QVariantList{8, 0, 3, 0}));
            QVERIFY(r.rig.link.linkFree());
        }
    }

private:
    std::unique_ptr<TestDataFolder> m_folder;
};

QTEST_MAIN(tst_DeviceSlots)
#include "tst_deviceslots.moc"
