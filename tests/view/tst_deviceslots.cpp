#include "linkrig.h"
#include "myqquickview.h"
#include "settingsstore.h"
#include "testdatafolder.h"

#include <QQmlContext>
#include <QQmlExpression>
#include <QSettings>
#include <QTest>
#include <functional>
#include <memory>

using Bytes = QByteArray;
using Call = std::function<void(myQQuickView &)>;
Q_DECLARE_METATYPE(Call)

namespace {
Bytes hex(const char *text)
{
    return Bytes::fromHex(text);
}

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
Bytes pattern(int n)
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
// mouse confirmed and its record cleared.
struct ViewRig
{
    explicit ViewRig(const Flags &flags) : rig(flags.family, true, flags.isGun)
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
            rig.mouse->setProfileBlock(n, pattern(n));
        ok = rig.link.chkDeviceIsEnCode(0);
        if (flags.family == 560) {
            for (uint n = 0; n < 5; ++n)
                view->mouseReadProfile(n);
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

class tst_DeviceSlots : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void commands_data();
    void commands();
    void profileBlocksAfterReadPatchWrite_data();
    void profileBlocksAfterReadPatchWrite();
    void queriesAnswerFromTheMouse();
    void blockNumbersAboveFourDoNothing();
    void keyMatrixWithoutGunSwitch_data();
    void keyMatrixWithoutGunSwitch();
    void keyMatrixWithGunSwitch_data();
    void keyMatrixWithGunSwitch();
    void unplugDuringAGunSwitchSend();
    void resetSendsTheFirmwareTable();
    void macroSlots();
    void withoutLinkNothingHappens();
    void theSceneReachesTheSlots();

private:
    std::unique_ptr<TestDataFolder> m_folder;
};

void tst_DeviceSlots::init()
{
    m_folder = std::make_unique<TestDataFolder>();
}

void tst_DeviceSlots::cleanup()
{
    m_folder.reset();
}

void tst_DeviceSlots::commands_data()
{
    QTest::addColumn<Flags>("flags");
    QTest::addColumn<Call>("call");
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<Bytes>("written");

    const Flags plain553{553, false, false, false};
    const Flags colourful553{553, true, false, false};
    const Flags plain55328{553, false, false, true};
    const Flags gun553{553, true, true, false};
    const Flags plain560{560, false, false, false};
    const Flags gun560{560, true, true, false};

    QTest::newRow("DPI, 553") << plain553 << Call([](myQQuickView &v) {
        v.mouseSetDpi(3, "3360", {400, 800, 1600, 3200, 6400, 100, 200, 300});
    }) << QStringList{"00 11 03 08 00 00 00 00"}
                              << report32(hex("03070f8080808080"));
    QTest::newRow("report rate, 553")
        << plain553 << Call([](myQQuickView &v) { v.mouseSetReportRate(2); })
        << QStringList{"00 01 02 00 00 00 00 00"} << Bytes();
    QTest::newRow("report rate, 560")
        << plain560 << Call([](myQQuickView &v) { v.mouseSetReportRate(2); })
        << QStringList{"00 03 01 02 00 00 00 00", "00 03 02 02 00 00 00 00",
                       "00 03 03 02 00 00 00 00", "00 03 04 02 00 00 00 00"}
        << Bytes();
    QTest::newRow("current DPI, 553")
        << plain553 << Call([](myQQuickView &v) { v.mouseSetCurrentDPI(4); })
        << QStringList{"00 0b 04 00 00 00 00 00"} << Bytes();
    QTest::newRow("current DPI, 560 with guns")
        << gun560 << Call([](myQQuickView &v) { v.mouseSetCurrentDPI(4); })
        << QStringList{"00 04 01 04 00 00 00 00"} << Bytes();
    QTest::newRow("keyboard option, 553")
        << plain553 << Call([](myQQuickView &v) { v.mouseSetKeyboardoption(1, 2, 3, 4); })
        << QStringList{"00 03 01 02 03 04 00 00"} << Bytes();
    // Code 03H would be a report rate on family 560.
    QTest::newRow("keyboard option, 560")
        << plain560 << Call([](myQQuickView &v) { v.mouseSetKeyboardoption(1, 2, 3, 4); })
        << QStringList{"00 01 01 02 00 00 00 00"} << Bytes();
    QTest::newRow("switch matrix 1, 553")
        << plain553 << Call([](myQQuickView &v) { v.mouseSwitchKeyMatrix(1); })
        << QStringList{"00 02 00 00 00 00 00 00"} << Bytes();
    QTest::newRow("switch matrix 1, 560")
        << plain560 << Call([](myQQuickView &v) { v.mouseSwitchKeyMatrix(1); })
        << QStringList{"00 02 01 00 00 00 00 00"} << Bytes();
    QTest::newRow("effect 5, colourful 553")
        << colourful553 << Call([](myQQuickView &v) { v.mouseSetRGBEffect(5, 2, 4); })
        << QStringList{"00 0d 05 ff 05 00 00 00"} << Bytes();
    QTest::newRow("effect 4, plain 553")
        << plain553 << Call([](myQQuickView &v) { v.mouseSetRGBEffect(4, 1, 0); })
        << QStringList{"00 0d 02 02 02 00 00 00"} << Bytes();
    QTest::newRow("effect 4, is55328")
        << plain55328 << Call([](myQQuickView &v) { v.mouseSetRGBEffect(4, 1, 0); })
        << QStringList{"00 0d 02 02 03 00 00 00"} << Bytes();
    QTest::newRow("colours twice without is55328")
        << plain553 << Call([](myQQuickView &v) {
               v.mouseSetRGBColor(1, {1, 2, 3});
           })
        << QStringList{"00 10 01 18 00 00 00 00", "00 10 01 18 00 00 00 00"}
        << report32(hex("010203") + Bytes(21, '\0')).repeated(2);
    QTest::newRow("colours, type 2") << colourful553 << Call([](myQQuickView &v) {
        v.mouseSetRGBColor(2, {1, 2, 3});
    }) << QStringList{"00 10 02 04 00 00 00 00", "00 10 02 04 00 00 00 00"}
                                     << report32(hex("01020300")).repeated(2);
    QList<QVariant> eighth(24, 0);
    eighth[22] = 7;
    QTest::newRow("is55328, stage 8 coloured")
        << plain55328 << Call([eighth](myQQuickView &v) { v.mouseSetRGBColor(3, eighth); })
        << QStringList{"00 10 00 18 00 00 00 00"} << report32(Bytes(22, '\0') + hex("0700"));
    QTest::newRow("is55328, one colour") << plain55328 << Call([](myQQuickView &v) {
        v.mouseSetRGBColor(3, {9, 8, 7});
    }) << QStringList{"00 0c 09 08 07 00 00 00"}
                                         << Bytes();
    QTest::newRow("gun data, 553") << gun553 << Call([](myQQuickView &v) {
        v.mouseSendGundata(2, {10, 20, 5});
    }) << QStringList{"00 83 00 00 00 00 00 00", "00 04 00 0a 14 05 01 00"}
                                   << Bytes();
    QTest::newRow("gun data negated with the keyboard option")
        << gun553 << Call([](myQQuickView &v) {
               v.mouseSetKeyboardoption(0, 0, 1, 0);
               v.mouseSendGundata(3, {10, 20, 5});
           })
        << QStringList{"00 03 00 00 01 00 00 00", "00 83 00 00 00 00 00 00",
                       "00 04 00 0a 14 fb 02 00"}
        << Bytes();
    QTest::newRow("gun data, short list")
        << gun553 << Call([](myQQuickView &v) { v.mouseSendGundata(1, {10}); })
        << QStringList{"00 83 00 00 00 00 00 00", "00 04 00 0a 00 00 00 00"} << Bytes();
    QTest::newRow("gun data without guns, 553") << colourful553 << Call([](myQQuickView &v) {
        v.mouseSendGundata(1, {10, 20, 5});
    }) << QStringList{} << Bytes();
    QTest::newRow("gun data without guns, 560") << plain560 << Call([](myQQuickView &v) {
        v.mouseSendGundata(1, {10, 20, 5});
    }) << QStringList{} << Bytes();
    QTest::newRow("gun slot 0 or 4") << gun560 << Call([](myQQuickView &v) {
        v.mouseSendGundata(0, {10, 20, 5});
        v.mouseSendGundata(4, {10, 20, 5});
        v.mouseSendGundata(-1, {10, 20, 5});
    }) << QStringList{} << Bytes();
    QTest::newRow("update does nothing")
        << gun560 << Call([](myQQuickView &v) { v.openUpdateExe(); }) << QStringList{} << Bytes();
}

void tst_DeviceSlots::commands()
{
    QFETCH(Flags, flags);
    QFETCH(Call, call);
    QFETCH(QStringList, reports);
    QFETCH(Bytes, written);
    ViewRig r(flags);
    QVERIFY(r.ok);
    call(*r.view);
    QCOMPARE(r.commands(), reports);
    QCOMPARE(r.written(), written);
    QCOMPARE(r.rig.mouse->protocolErrors(), QStringList());
}

void tst_DeviceSlots::profileBlocksAfterReadPatchWrite_data()
{
    QTest::addColumn<Flags>("flags");
    QTest::addColumn<Call>("call");
    QTest::addColumn<QList<int>>("sent");
    // block number -> offset -> byte, over the pattern the view read.
    QTest::addColumn<QMap<int, QMap<int, int>>>("patches");

    const auto dpiPatch = [](const Bytes &codes, int mask, int highBits) {
        QMap<int, int> patch;
        for (int i = 0; i < 8; ++i) {
            patch[84 + i] = uchar(codes.at(i));
            patch[92 + i] = uchar(codes.at(i));
        }
        patch[100] = mask;
        if (highBits >= 0)
            patch[82] = patch[83] = highBits;
        return patch;
    };
    const QMap<int, int> dpi3389 = dpiPatch(hex("0800ff9002020204"), 0x0F, 0x8A);
    const QMap<int, int> dpi3360 = dpiPatch(hex("03070fffffffffff"), 0x07, -1);
    const Call setDpi3389 = [](myQQuickView &v) {
        v.mouseSetDpi(4, "3389", {400, 12800, 12799, 20000, 100, 100, 100, 13000});
    };

    QTest::newRow("DPI 3389, guns")
        << Flags{560, true, true, false} << setDpi3389 << QList<int>{1, 2, 3, 4}
        << QMap<int, QMap<int, int>>{{1, dpi3389}, {2, dpi3389}, {3, dpi3389}, {4, dpi3389}};
    QTest::newRow("DPI 3360 short list, no guns")
        << Flags{560, false, false, false} << Call([](myQQuickView &v) {
               v.mouseSetDpi(3, "3360", {400, 800, 1600});
           })
        << QList<int>{1}
        << QMap<int, QMap<int, int>>{{1, dpi3360}, {2, dpi3360}, {3, dpi3360}, {4, dpi3360}};

    const QMap<int, int> effect5{{71, 5}, {72, 0xFF}, {73, 5}};
    QTest::newRow("effect, colourful with guns")
        << Flags{560, true, true, false}
        << Call([](myQQuickView &v) { v.mouseSetRGBEffect(5, 2, 4); }) << QList<int>{1, 2, 3, 4}
        << QMap<int, QMap<int, int>>{{1, effect5}, {2, effect5}, {3, effect5}, {4, effect5}};
    QTest::newRow("effect, colourful without guns")
        << Flags{560, true, false, false}
        << Call([](myQQuickView &v) { v.mouseSetRGBEffect(5, 2, 4); }) << QList<int>{1}
        << QMap<int, QMap<int, int>>{{1, effect5}, {2, effect5}, {3, effect5}, {4, effect5}};
    const QMap<int, int> plain{{71, 2}, {72, 2}, {73, 2}};
    QMap<int, int> plainSingle = plain;
    plainSingle[73] = 3;
    QTest::newRow("effect, plain without guns")
        << Flags{560, false, false, false}
        << Call([](myQQuickView &v) { v.mouseSetRGBEffect(4, 1, 0); }) << QList<int>{1}
        << QMap<int, QMap<int, int>>{{1, plainSingle}, {2, plain}, {3, plain}, {4, plain}};
    QTest::newRow("effect, plain with guns")
        << Flags{560, false, true, false}
        << Call([](myQQuickView &v) { v.mouseSetRGBEffect(4, 1, 0); }) << QList<int>{1, 2, 3, 4}
        << QMap<int, QMap<int, int>>{{1, plain}, {2, plain}, {3, plain}, {4, plain}};

    QMap<int, int> colours0, colours1;
    for (int i = 0; i < 24; ++i) {
        colours0[24 + i] = i < 3 ? 10 + i : 0;
        colours1[104 + i] = i < 3 ? 10 + i : 0;
    }
    QTest::newRow("colours, colourful")
        << Flags{560, true, true, false} << Call([](myQQuickView &v) {
               v.mouseSetRGBColor(7, {10, 11, 12});
           })
        << QList<int>{0} << QMap<int, QMap<int, int>>{{0, colours0}};
    QTest::newRow("colours, plain") << Flags{560, false, true, false} << Call([](myQQuickView &v) {
        v.mouseSetRGBColor(7, {10, 11, 12});
    }) << QList<int>{1} << QMap<int, QMap<int, int>>{{1, colours1}};

    const int flags65 = uchar(pattern(3).at(65)) & ~0x04;
    QTest::newRow("gun slot 2")
        << Flags{560, true, true, false} << Call([](myQQuickView &v) {
               v.mouseSendGundata(2, {300, -3, 5, 99});
           })
        << QList<int>{3}
        << QMap<int, QMap<int, int>>{
               {3, {{65, flags65}, {78, 0xF0}, {79, 0x2C}, {80, 0xFD}, {81, 5}}}};
    QTest::newRow("profile 4 as it stands")
        << Flags{560, true, true, false} << Call([](myQQuickView &v) { v.mouseSetProfile(4); })
        << QList<int>{4} << QMap<int, QMap<int, int>>{};
}

void tst_DeviceSlots::profileBlocksAfterReadPatchWrite()
{
    QFETCH(Flags, flags);
    QFETCH(Call, call);
    QFETCH(QList<int>, sent);
    using Patches = QMap<int, QMap<int, int>>;
    QFETCH(Patches, patches);

    ViewRig r(flags);
    QVERIFY(r.ok);
    for (int n = 0; n < 5; ++n)
        QCOMPARE(r.view->deviceProfile(n), pattern(n));
    call(*r.view);

    QStringList expectedReports;
    for (int n : sent)
        expectedReports << QStringLiteral("00 0c 0%1 80 00 00 00 00").arg(n);
    QCOMPARE(r.commands(), expectedReports);

    const VirtualMouse::State state = r.rig.mouse->state();
    for (int n = 0; n < 5; ++n) {
        Bytes expected = pattern(n);
        const QMap<int, int> patch = patches.value(n);
        for (auto it = patch.begin(); it != patch.end(); ++it)
            expected[it.key()] = char(it.value());
        // The view keeps every patch; the mouse has what was sent.
        QCOMPARE(r.view->deviceProfile(n), expected);
        QCOMPARE(state.profiles.at(n), sent.contains(n) ? expected : pattern(n));
    }
    QCOMPARE(r.rig.mouse->protocolErrors(), QStringList());
}

void tst_DeviceSlots::queriesAnswerFromTheMouse()
{
    for (int family : {553, 560}) {
        ViewRig r({family, true, false, false});
        QVERIFY(r.ok);
        r.view->mouseSetKeyboardoption(0x11, 0x22, 0x33, 0x44);
        const QVariantList option =
            family == 560 ? QVariantList{0x11, 0x22, 0, 0} : QVariantList{0x11, 0x22, 0x33, 0x44};
        QCOMPARE(r.view->GetKeyboardoption(), option);
        r.rig.mouse->pressDpiButton(5);
        QCOMPARE(r.view->mouseGetCurrentDPI(), QVariant(5));
        QCOMPARE(r.commands().at(2),
                 family == 560 ? "00 84 01 00 00 00 00 00" : "00 8b 00 00 00 00 00 00");
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
    QCOMPARE(r.view->mouseGetCurrentDPI(), QVariant(0));
    QCOMPARE(r.view->mouseReadCurrentProfile(), QVariant(0));
}

void tst_DeviceSlots::blockNumbersAboveFourDoNothing()
{
    ViewRig r({560, true, true, false});
    QVERIFY(r.ok);
    r.view->mouseSetProfile(5);
    r.view->mouseReadProfile(5);
    r.view->mouseSetProfile(uint(-1));
    QCOMPARE(r.commands(), QStringList());
    QVERIFY(r.view->deviceProfile(5).isEmpty());
}

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

void tst_DeviceSlots::keyMatrixWithoutGunSwitch_data()
{
    QTest::addColumn<int>("family");
    QTest::newRow("553") << 553;
    QTest::newRow("560") << 560;
}

void tst_DeviceSlots::keyMatrixWithoutGunSwitch()
{
    QFETCH(int, family);
    ViewRig r({family, true, true, false});
    QVERIFY(r.ok);
    const QVariantList src64 = defaultRecords();

    // Stored but not sent.
    r.view->mouseSetKeyMatrix(src64, false, {1, 2, 3});
    QCOMPARE(r.commands(), QStringList());
    QCOMPARE(r.view->mouseGetKeydefine(7, false), (QVariantList{0, 0xF0, 0x1E, 2}));

    r.view->mouseSetKeyMatrix(src64, true, {1, 2, 3});
    QCOMPARE(r.commands(),
             QStringList{family == 560 ? "00 0d 01 80 00 00 00 00" : "00 12 01 40 08 00 00 00"});
    const Bytes sent = r.rig.mouse->state().keyMatrices.value(1);
    // Slots 5..9 carry records 8, 7, 7, 6, 5; the double click goes out as
    // a double click.
    const Bytes expected = hex("0100f000"
                               "0100f100"
                               "0100f200"
                               "0100f400"
                               "0100f300"
                               "01000000"
                               "0af01e02"
                               "0af01e02"
                               "07000200"
                               "07000100"
                               "01000000"
                               "01000000"
                               "01000000"
                               "01000000"
                               "04000100"
                               "04000200");
    QCOMPARE(sent.left(64), expected);
    QCOMPARE(sent.mid(64), family == 560 ? Bytes(64, '\0') : Bytes());
}

void tst_DeviceSlots::keyMatrixWithGunSwitch_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QStringList>("reports");
    QTest::newRow("553: four matrices and the select")
        << 553
        << QStringList{"00 12 01 40 08 00 00 00", "00 12 02 40 08 00 00 00",
                       "00 12 03 40 08 00 00 00", "00 12 04 40 08 00 00 00",
                       "00 02 01 00 00 00 00 00"};
    QTest::newRow("560: profile 0 first")
        << 560 << QStringList{"00 0c 00 80 00 00 00 00", "00 0d 01 80 00 00 00 00",
                              "00 0d 02 80 00 00 00 00", "00 0d 03 80 00 00 00 00",
                              "00 0d 04 80 00 00 00 00", "00 02 01 00 00 00 00 00"};
}

void tst_DeviceSlots::keyMatrixWithGunSwitch()
{
    QFETCH(int, family);
    QFETCH(QStringList, reports);
    ViewRig r({family, true, true, false});
    QVERIFY(r.ok);
    QVariantList src64 = defaultRecords();
    src64[3 * 4] = 8; // button 4 switches between two presets
    src64[3 * 4 + 2] = 2;
    r.view->mouseSetKeyMatrix(src64, true, {150, 200});
    QCOMPARE(r.commands(), reports);

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
        Bytes block0 = pattern(0);
        block0[2] = 15;
        QCOMPARE(state.profiles.at(0), block0);
        QCOMPARE(r.view->deviceProfile(0), block0);
    }
    QCOMPARE(r.rig.mouse->protocolErrors(), QStringList());
}

void tst_DeviceSlots::unplugDuringAGunSwitchSend()
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

void tst_DeviceSlots::resetSendsTheFirmwareTable()
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
        QCOMPARE(m.left(12), hex("0100f000"
                                 "09080000"
                                 "00000000"));
        QCOMPARE(m.mid(56, 8), hex("04000100"
                                   "04000200"));
        QVERIFY(!r.rig.mouse->state().keyMatrices.contains(1));
    }
}

void tst_DeviceSlots::macroSlots()
{
    for (int family : {553, 560}) {
        ViewRig r({family, false, false, false});
        QVERIFY(r.ok);
        QVariantList data;
        for (int i = 0; i < 140; ++i)
            data << i;
        QCOMPARE(r.view->mouseSendMacroData(data, 11), QVariant(true));
        QCOMPARE(r.view->mouseSendMacroData(data, 12), QVariant(true));
        QCOMPARE(r.view->mouseSendMacroData({1, 2}, "0"), QVariant(true));
        const QString code = family == 560 ? "0f" : "13";
        QCOMPARE(r.commands(), (QStringList{QString("00 %1 0c 80 00 00 00 00").arg(code),
                                            QString("00 %1 01 80 00 00 00 00").arg(code)}));
        const VirtualMouse::State state = r.rig.mouse->state();
        QCOMPARE(state.macros.value(12).size(), 128);
        QCOMPARE(uchar(state.macros.value(12).at(127)), uchar(127));
        QCOMPARE(state.macros.value(1), hex("0102") + Bytes(126, '\0'));
    }
}

void tst_DeviceSlots::withoutLinkNothingHappens()
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

void tst_DeviceSlots::theSceneReachesTheSlots()
{
    ViewRig r({553, true, false, false});
    QVERIFY(r.ok);
    r.view->rootContext()->setContextProperty("ui_View", r.view.get());
    QQmlExpression expression(r.view->rootContext(), nullptr,
                              "ui_View.mouseSetRGBEffect(5, 2, 4);"
                              "ui_View.mouseSetDpi(2, '3360', [400, 800]);"
                              "ui_View.mouseSendMacroData([1, 2, 3], 4)");
    QCOMPARE(expression.evaluate(), QVariant(true));
    QVERIFY(!expression.hasError());
    QCOMPARE(r.commands(), (QStringList{"00 0d 05 ff 05 00 00 00", "00 11 02 08 00 00 00 00",
                                        "00 13 05 80 00 00 00 00"}));
}

QTEST_MAIN(tst_DeviceSlots)
#include "tst_deviceslots.moc"
