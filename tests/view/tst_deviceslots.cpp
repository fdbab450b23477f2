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

// A command report as the mouse saw it, without its checksum.
QString report(const Bytes &plain)
{
    return QString::fromLatin1(plain.left(8).toHex(' '));
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

    QStringList commands() const
    {
        QStringList list;
        for (const Bytes &c : rig.mouse->commands())
            list << report(c);
        return list;
    }

    LinkRig rig;
    std::unique_ptr<myQQuickView> view;
    bool ok = false;
};

static QVariantList defaultRecords()
{
    // The screen's built-in table: buttons, DPI+/-, double click at 7.
    const QList<int> codes{0, 0, 0xF0, 0, 0, 0, 0xF1, 0, 0,    0, 0xF2, 0, 0,    0,    0xF4, 0,
                           0, 0, 0xF3, 0, 5, 0, 1,    0, 5,    0, 2,    0, 0,    0xF0, 0x1E, 2,
                           0, 0, 0,    0, 0, 0, 0,    0, 0,    0, 0,    0, 0,    0,    0,    0,
                           0, 0, 0,    0, 0, 0, 0,    0, 0xFF, 0, 1,    0, 0xFF, 0,    2,    0};
    QVariantList list;
    for (int c : codes)
        list << c;
    return list;
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
        QTest::addColumn<QStringList>("reports");
        QTest::addColumn<Bytes>("written");
        const auto row = [](const char *name, Flags flags, const char *script, QStringList reports,
                            Bytes written = Bytes()) {
            QTest::newRow(name) << flags << QString(script) << reports << written;
        };

        const Flags plain553{553, false, false, false};
        const Flags colourful553{553, true, false, false};
        const Flags plain55328{553, false, false, true};
        const Flags gun553{553, true, true, false};
        const Flags plain560{560, false, false, false};
        const Flags gun560{560, true, true, false};
        const QString gunStart = "00 83 00 00 00 00 00 00";

        row("DPI, 553", plain553,
            "mouseSetDpi(3, '3360', [400, 800, 1600, 3200, 6400, 100, 200, 300])",
            {"00 11 03 08 00 00 00 00"}, report32(hex("03070f8080808080")));
        row("report rate, 553", plain553, "mouseSetReportRate(2)", {"00 01 02 00 00 00 00 00"});
        row("report rate, 560", plain560, "mouseSetReportRate(2)",
            {"00 03 01 02 00 00 00 00", "00 03 02 02 00 00 00 00", "00 03 03 02 00 00 00 00",
             "00 03 04 02 00 00 00 00"});
        row("current DPI, 553", plain553, "mouseSetCurrentDPI(4)", {"00 0b 04 00 00 00 00 00"});
        row("current DPI, 560 with guns", gun560, "mouseSetCurrentDPI(4)",
            {"00 04 01 04 00 00 00 00"});
        row("keyboard option, 553", plain553, "mouseSetKeyboardoption(1, 2, 3, 4)",
            {"00 03 01 02 03 04 00 00"});
        // Code 03H would be a report rate on family 560.
        row("keyboard option, 560", plain560, "mouseSetKeyboardoption(1, 2, 3, 4)",
            {"00 01 01 02 00 00 00 00"});
        row("switch matrix 1, 553", plain553, "mouseSwitchKeyMatrix(1)",
            {"00 02 00 00 00 00 00 00"});
        row("switch matrix 1, 560", plain560, "mouseSwitchKeyMatrix(1)",
            {"00 02 01 00 00 00 00 00"});
        row("effect 5, colourful 553", colourful553, "mouseSetRGBEffect(5, 2, 4)",
            {"00 0d 05 ff 05 00 00 00"});
        row("effect 4, plain 553", plain553, "mouseSetRGBEffect(4, 1, 0)",
            {"00 0d 02 02 02 00 00 00"});
        row("effect 4, is55328", plain55328, "mouseSetRGBEffect(4, 1, 0)",
            {"00 0d 02 02 03 00 00 00"});
        row("colours twice without is55328", plain553, "mouseSetRGBColor(1, [1, 2, 3])",
            {"00 10 01 18 00 00 00 00", "00 10 01 18 00 00 00 00"},
            report32(hex("010203") + Bytes(21, '\0')).repeated(2));
        row("colours, type 2", colourful553, "mouseSetRGBColor(2, [1, 2, 3])",
            {"00 10 02 04 00 00 00 00", "00 10 02 04 00 00 00 00"},
            report32(hex("01020300")).repeated(2));
        row("is55328, stage 8 coloured", plain55328,
            "mouseSetRGBColor(3, Array.from({length: 24}, (x, i) => i == 22 ? 7 : 0))",
            {"00 10 00 18 00 00 00 00"}, report32(Bytes(22, '\0') + hex("0700")));
        row("is55328, one colour", plain55328, "mouseSetRGBColor(3, [9, 8, 7])",
            {"00 0c 09 08 07 00 00 00"});
        row("gun data, 553", gun553, "mouseSendGundata(2, [10, 20, 5])",
            {gunStart, "00 04 00 0a 14 05 01 00"});
        row("gun data negated with the keyboard option", gun553,
            "mouseSetKeyboardoption(0, 0, 1, 0); mouseSendGundata(3, [10, 20, 5])",
            {"00 03 00 00 01 00 00 00", gunStart, "00 04 00 0a 14 fb 02 00"});
        row("gun data, short list", gun553, "mouseSendGundata(1, [10])",
            {gunStart, "00 04 00 0a 00 00 00 00"});
        row("gun data without guns, 553", colourful553, "mouseSendGundata(1, [10, 20, 5])", {});
        row("gun data without guns, 560", plain560, "mouseSendGundata(1, [10, 20, 5])", {});
        row("gun slot 0 or 4", gun560,
            "for (const slot of [0, 4, -1]) mouseSendGundata(slot, [10, 20, 5])", {});
        row("update does nothing", gun560, "openUpdateExe()", {});
        row("block numbers above four", gun560,
            "mouseSetProfile(5); mouseReadProfile(5); mouseSetProfile(4294967295)", {});
        row("macro data", plain553, "mouseSendMacroData([1, 2, 3], 4)", {"00 13 05 80 00 00 00 00"},
            report32(hex("010203")) + Bytes(96, '\0'));
        // Slots 0 to 11 by the low byte. Longer than the block, or filling it
        // without the end: not sent.
        const char *macros = "const d = Array.from({length: 126}, (x, i) => i).concat([0, 256]);"
                             "mouseSendMacroData(d, 11); mouseSendMacroData(d, 12);"
                             "mouseSendMacroData(d.concat([0, 0]), 10);"
                             "mouseSendMacroData(d.slice(0, 127).concat([5]), 10);"
                             "mouseSendMacroData([1, 2], '0')";
        const Bytes blocks =
            pattern(126).prepend('\0').left(126) + hex("0000 0102") + Bytes(126, '\0');
        row("macro slots, 553", plain553, macros,
            {"00 13 0c 80 00 00 00 00", "00 13 01 80 00 00 00 00"}, blocks);
        row("macro slots, 560", plain560, macros,
            {"00 0f 0c 80 00 00 00 00", "00 0f 01 80 00 00 00 00"}, blocks);
    }

    void commands()
    {
        QFETCH(Flags, flags);
        QFETCH(QString, script);
        QFETCH(QStringList, reports);
        QFETCH(Bytes, written);
        ViewRig r(flags);
        QVERIFY(r.ok);
        QVERIFY(r.run(script));
        QCOMPARE(r.commands(), reports);
        QVERIFY(r.view->deviceProfile(5).isEmpty());
        QCOMPARE(r.written(), written);
        QCOMPARE(r.rig.mouse->protocolErrors(), QStringList());
    }

    void profileBlocksAfterReadPatchWrite_data()
    {
        using Patches = QMap<int, QMap<int, int>>; // block number -> offset -> byte
        QTest::addColumn<Flags>("flags");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QList<int>>("sent");
        QTest::addColumn<Patches>("patches"); // over the pattern the view read
        const auto row = [](const char *name, Flags flags, const char *script, QList<int> sent,
                            Patches patches) {
            QTest::newRow(name) << flags << QString(script) << sent << patches;
        };
        // The same patch on blocks 1..4.
        const auto four = [](const QMap<int, int> &patch) {
            return Patches{{1, patch}, {2, patch}, {3, patch}, {4, patch}};
        };
        const auto dpiPatch = [](const Bytes &codes, int mask, int highBits) {
            QMap<int, int> patch;
            for (int i = 0; i < 8; ++i)
                patch[84 + i] = patch[92 + i] = uchar(codes.at(i));
            patch[100] = mask;
            if (highBits >= 0)
                patch[82] = patch[83] = highBits;
            return patch;
        };

        row("DPI 3389, guns", {560, true, true, false},
            "mouseSetDpi(4, '3389', [400, 12800, 12799, 20000, 100, 100, 100, 13000])",
            {1, 2, 3, 4}, four(dpiPatch(hex("0800ff9002020204"), 0x0F, 0x8A)));
        row("DPI 3360 short list, no guns", {560, false, false, false},
            "mouseSetDpi(3, '3360', [400, 800, 1600])", {1},
            four(dpiPatch(hex("03070fffffffffff"), 0x07, -1)));
        const QMap<int, int> effect5{{71, 5}, {72, 0xFF}, {73, 5}};
        row("effect, colourful with guns", {560, true, true, false}, "mouseSetRGBEffect(5, 2, 4)",
            {1, 2, 3, 4}, four(effect5));
        row("effect, colourful without guns", {560, true, false, false},
            "mouseSetRGBEffect(5, 2, 4)", {1}, four(effect5));
        const QMap<int, int> plain{{71, 2}, {72, 2}, {73, 2}};
        Patches plainSingle = four(plain);
        plainSingle[1][73] = 3;
        row("effect, plain without guns", {560, false, false, false}, "mouseSetRGBEffect(4, 1, 0)",
            {1}, plainSingle);
        row("effect, plain with guns", {560, false, true, false}, "mouseSetRGBEffect(4, 1, 0)",
            {1, 2, 3, 4}, four(plain));

        QMap<int, int> colours0, colours1;
        for (int i = 0; i < 24; ++i)
            colours0[24 + i] = colours1[104 + i] = i < 3 ? 10 + i : 0;
        row("colours, colourful", {560, true, true, false}, "mouseSetRGBColor(7, [10, 11, 12])",
            {0}, {{0, colours0}});
        row("colours, plain", {560, false, true, false}, "mouseSetRGBColor(7, [10, 11, 12])", {1},
            {{1, colours1}});
        const int flags65 = uchar(blockPattern(3).at(65)) & ~0x04;
        row("gun slot 2", {560, true, true, false}, "mouseSendGundata(2, [300, -3, 5, 99])", {3},
            {{3, {{65, flags65}, {78, 0xF0}, {79, 0x2C}, {80, 0xFD}, {81, 5}}}});
        row("profile 4 as it stands", {560, true, true, false}, "mouseSetProfile(4)", {4}, {});
    }

    void profileBlocksAfterReadPatchWrite()
    {
        QFETCH(Flags, flags);
        QFETCH(QString, script);
        QFETCH(QList<int>, sent);
        using Patches = QMap<int, QMap<int, int>>;
        QFETCH(Patches, patches);

        ViewRig r(flags);
        QVERIFY(r.ok);
        for (int n = 0; n < 5; ++n)
            QCOMPARE(r.view->deviceProfile(n), blockPattern(n));
        QVERIFY(r.run(script));

        QStringList expectedReports;
        for (int n : sent)
            expectedReports << QStringLiteral("00 0c 0%1 80 00 00 00 00").arg(n);
        QCOMPARE(r.commands(), expectedReports);

        const VirtualMouse::State state = r.rig.mouse->state();
        for (int n = 0; n < 5; ++n) {
            Bytes expected = blockPattern(n);
            const QMap<int, int> patch = patches.value(n);
            for (auto it = patch.begin(); it != patch.end(); ++it)
                expected[it.key()] = char(it.value());
            // The view keeps every patch; the mouse has what was sent.
            QCOMPARE(r.view->deviceProfile(n), expected);
            QCOMPARE(state.profiles.at(n), sent.contains(n) ? expected : blockPattern(n));
        }
        QCOMPARE(r.rig.mouse->protocolErrors(), QStringList());
    }

    void unreadBlocksAreNeverWritten_data()
    {
        QTest::addColumn<Flags>("flags");
        QTest::addColumn<QList<int>>("unread");
        QTest::addColumn<bool>("readable"); // whether the mouse answers the read again
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("reports");
        QTest::addColumn<QList<int>>("patched"); // blocks the mouse takes with lighting 5
        const Flags colourful{560, true, false, false};
        const Flags gun{560, true, true, false};
        const char *effect = "mouseSetRGBEffect(5, 2, 4)";
        QTest::newRow("read again, then patched")
            << colourful << QList<int>{1} << true << effect
            << QStringList{"00 8c 01 00 00 00 00 00", "00 0c 01 80 00 00 00 00"} << QList<int>{1};
        QTest::newRow("unreadable") << colourful << QList<int>{1} << false << effect
                                    << QStringList{"00 8c 01 00 00 00 00 00"} << QList<int>{};
        QTest::newRow("one of the gun blocks unreadable")
            << gun << QList<int>{3} << false << effect
            << QStringList{"00 8c 03 00 00 00 00 00", "00 0c 01 80 00 00 00 00",
                           "00 0c 02 80 00 00 00 00", "00 0c 04 80 00 00 00 00"}
            << QList<int>{1, 2, 4};
        QTest::newRow("profile sent as it stands")
            << gun << QList<int>{2} << true << "mouseSetProfile(2)"
            << QStringList{"00 8c 02 00 00 00 00 00", "00 0c 02 80 00 00 00 00"} << QList<int>{};
        // Gun slot 2 lives in block 3.
        QTest::newRow("gun slot unreadable")
            << gun << QList<int>{3} << false << "mouseSendGundata(2, [300, -3, 5, 99])"
            << QStringList{"00 8c 03 00 00 00 00 00"} << QList<int>{};
        QTest::newRow("profile unreadable")
            << gun << QList<int>{0} << false << "mouseSetProfile(0)"
            << QStringList{"00 8c 00 00 00 00 00 00"} << QList<int>{};
    }

    void unreadBlocksAreNeverWritten()
    {
        QFETCH(Flags, flags);
        QFETCH(QList<int>, unread);
        QFETCH(bool, readable);
        QFETCH(QString, script);
        QFETCH(QStringList, reports);
        QFETCH(QList<int>, patched);
        ViewRig r(flags, unread);
        QVERIFY(r.ok);
        for (int n : unread)
            QCOMPARE(r.view->deviceProfile(n), Bytes(128, '\0'));
        r.rig.mouse->setAnswering(readable);
        if (!readable)
            QTest::ignoreMessage(QtWarningMsg, "cmd Failed 0C");
        const quint64 failedBefore = r.view->deviceOperations().failedOperations();
        QVERIFY(r.run(script));

        QCOMPARE(r.commands(), reports);
        for (int n = 0; n < 5; ++n) {
            Bytes expected = blockPattern(n);
            if (patched.contains(n))
                expected.replace(71, 3, hex("05ff05"));
            QCOMPARE(r.rig.mouse->state().profiles.at(n), expected);
        }
        QCOMPARE(r.view->deviceOperations().lastFailed(), !readable);
        QCOMPARE(r.view->deviceOperations().failedOperations() - failedBefore,
                 quint64(readable ? 0 : 1));
    }

    void queriesAnswerFromTheMouse()
    {
        for (int family : {553, 560}) {
            ViewRig r({family, true, false, false});
            QVERIFY(r.ok);
            r.view->mouseSetKeyboardoption(0x11, 0x22, 0x33, 0x44);
            const QVariantList option = family == 560 ? QVariantList{0x11, 0x22, 0, 0}
                                                      : QVariantList{0x11, 0x22, 0x33, 0x44};
            QCOMPARE(r.view->GetKeyboardoption(), option);
            r.rig.mouse->pressDpiButton(5);
            QCOMPARE(r.view->mouseGetCurrentDPI(), QVariant(5));
            QCOMPARE(r.commands().at(2),
                     family == 560 ? "00 84 01 00 00 00 00 00" : "00 8b 00 00 00 00 00 00");
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
        ViewRig r({553, true, false, false});
        QVERIFY(r.ok);
        r.rig.mouse->setAnswering(false);
        QCOMPARE(r.view->GetKeyboardoption(), (QVariantList{0, 0, 0, 0}));
        QVERIFY(r.view->deviceOperations().lastFailed());
        // The failed query has said so; no "ignored" stage on top of it.
        QTest::failOnWarning(QRegularExpression("DPI stage"));
        QCOMPARE(r.view->mouseGetCurrentDPI(), QVariant());
        QCOMPARE(r.view->mouseReadCurrentProfile(), QVariant(0));
    }

    void keyMatrix_data()
    {
        QTest::addColumn<int>("family");
        QTest::addColumn<QStringList>("reports");
        QTest::addColumn<QStringList>("gunSwitchReports");
        QTest::newRow("553: four matrices and the select")
            << 553 << QStringList{"00 12 01 40 08 00 00 00"}
            << QStringList{"00 12 01 40 08 00 00 00", "00 12 02 40 08 00 00 00",
                           "00 12 03 40 08 00 00 00", "00 12 04 40 08 00 00 00",
                           "00 02 01 00 00 00 00 00"};
        QTest::newRow("560: profile 0 first")
            << 560 << QStringList{"00 0d 01 80 00 00 00 00"}
            << QStringList{"00 0c 00 80 00 00 00 00", "00 0d 01 80 00 00 00 00",
                           "00 0d 02 80 00 00 00 00", "00 0d 03 80 00 00 00 00",
                           "00 0d 04 80 00 00 00 00", "00 02 01 00 00 00 00 00"};
    }

    void keyMatrix()
    {
        QFETCH(int, family);
        QFETCH(QStringList, reports);
        QFETCH(QStringList, gunSwitchReports);
        {
            ViewRig r({family, true, true, false});
            QVERIFY(r.ok);
            const QVariantList src64 = defaultRecords();
            // Stored but not sent.
            r.view->mouseSetKeyMatrix(src64, false, {1, 2, 3});
            QCOMPARE(r.commands(), QStringList());
            QCOMPARE(r.view->mouseGetKeydefine(7, false), (QVariantList{0, 0xF0, 0x1E, 2}));
            r.view->mouseSetKeyMatrix(src64, true, {1, 2, 3});
            QCOMPARE(r.commands(), reports);
            const Bytes sent = r.rig.mouse->state().keyMatrices.value(1);
            // Slots 5..9 carry records 8, 7, 7, 6, 5; the double click goes out
            // as a double click.
            QCOMPARE(sent.left(64), hex("0100f000 0100f100 0100f200 0100f400 0100f300 01000000 "
                                        "0af01e02 0af01e02 07000200 07000100 01000000 01000000 "
                                        "01000000 01000000 04000100 04000200"));
            QCOMPARE(sent.mid(64), family == 560 ? Bytes(64, '\0') : Bytes());
        }
        // With a gun switch on button 4.
        ViewRig r({family, true, true, false});
        QVERIFY(r.ok);
        QVariantList src64 = defaultRecords();
        src64[3 * 4] = 8; // button 4 switches between two presets
        src64[3 * 4 + 2] = 2;
        r.view->mouseSetKeyMatrix(src64, true, {150, 200});
        QCOMPARE(r.commands(), gunSwitchReports);

        const VirtualMouse::State state = r.rig.mouse->state();
        QCOMPARE(state.keyMatrices.value(1).mid(12, 4),
                 family == 560 ? hex("08000100") : hex("08000101"));
        // Matrices 2..4 are the delivered firmware table with the fire period
        // entries and the switch.
        const Bytes m2 = state.keyMatrices.value(2);
        QCOMPARE(m2.left(4), hex("0b009600"));
        QCOMPARE(state.keyMatrices.value(3).left(4), hex("0b01c800"));
        QCOMPARE(state.keyMatrices.value(4).left(4), hex("0b020000"));
        QCOMPARE(m2.mid(4, 4), hex("0100f100")); // as delivered, untranslated
        QCOMPARE(m2.mid(12, 4), family == 560 ? hex("08000300") : hex("08000102"));
        if (family == 560) {
            Bytes block0 = blockPattern(0);
            block0[2] = 15;
            QCOMPARE(state.profiles.at(0), block0);
            QCOMPARE(r.view->deviceProfile(0), block0);
        }
        QCOMPARE(r.rig.mouse->protocolErrors(), QStringList());
    }

    void unplugDuringAGunSwitchSend()
    {
        ViewRig r({560, true, true, false});
        QVERIFY(r.ok);
        QVariantList src64 = defaultRecords();
        src64[3 * 4] = 8;
        src64[3 * 4 + 2] = 2;
        // Gone while the first key matrix is being written.
        r.rig.mouse->unplugAfterReports(7);
        r.view->mouseSetKeyMatrix(src64, true, {150, 200, 250});

        QCOMPARE(r.commands().size(), 2);
        QVERIFY(!r.rig.mouse->state().keyMatrices.contains(1));
        QVERIFY(r.rig.link.linkFree());
        // The records are stored and the view keeps its block whatever the
        // device took.
        QCOMPARE(r.view->mouseGetKeydefine(3, false), (QVariantList{8, 0, 2, 0}));
        QCOMPARE(int(r.view->deviceProfile(0).at(2)), 15);
    }

    void resetSendsTheFirmwareTable()
    {
        for (int family : {553, 560}) {
            ViewRig r({family, true, false, false});
            QVERIFY(r.ok);
            // Codes a record lacks go out as zeros.
            QSettings *profile = r.view->store()->current();
            profile->setValue("mouseFwKeyMatrix/1", QStringList{"9", "8"});
            profile->remove("mouseFwKeyMatrix/2");
            r.view->mouseResetKeyMatrix();
            const QString code = family == 560 ? "0d" : "12";
            const QString tail = family == 560 ? "80 00" : "40 08";
            QCOMPARE(r.commands(), (QStringList{QString("00 %1 02 %2 00 00 00").arg(code, tail),
                                                QString("00 %1 03 %2 00 00 00").arg(code, tail),
                                                QString("00 %1 04 %2 00 00 00").arg(code, tail)}));
            const Bytes m = r.rig.mouse->state().keyMatrices.value(3);
            QCOMPARE(m.left(12), hex("0100f000 09080000 00000000"));
            QCOMPARE(m.mid(56, 8), hex("04000100 04000200"));
            QVERIFY(!r.rig.mouse->state().keyMatrices.contains(1));
        }
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
