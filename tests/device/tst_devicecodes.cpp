#include "dpicodes.h"
#include "guncodes.h"
#include "keymatrixcodes.h"
#include "lightingcodes.h"
#include "macroblock.h"
#include "profileblock.h"
#include "scenevalues.h"

#include <QTest>

using Bytes = QByteArray;

template<std::size_t N> static Bytes bytes(const std::array<uchar, N> &a)
{
    return Bytes(reinterpret_cast<const char *>(a.data()), int(N));
}

static Bytes of(std::initializer_list<int> values)
{
    Bytes b;
    for (int v : values)
        b.append(char(v));
    return b;
}

static Bytes hex(const char *text)
{
    return Bytes::fromHex(text);
}

class tst_DeviceCodes : public QObject
{
    Q_OBJECT

private slots:
    void dpiCode_data();
    void dpiCode();
    void dpiStages_data();
    void dpiStages();
    void colourfulLighting_data();
    void colourfulLighting();
    void plainLighting_data();
    void plainLighting();
    void stageColours_data();
    void stageColours();
    void gunCommand553_data();
    void gunCommand553();
    void translate_data();
    void translate();
    void slotsAreReordered();
    void shortRecordListsReadZeros();
    void gunSwitchExpansion_data();
    void gunSwitchExpansion();
    void macroBlock_data();
    void macroBlock();
    void profileBlockPatchesOnlyItsBytes();
    void sceneValues();
};

void tst_DeviceCodes::dpiCode_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("code");

    QTest::newRow("3360 400") << "3360" << 400 << 0x03;
    QTest::newRow("3360 3200") << "3360" << 3200 << 0x1F;
    QTest::newRow("3360 12000") << "3360" << 12000 << 0x77;
    QTest::newRow("4090 5000") << "4090" << 5000 << 0x31;
    QTest::newRow("4090 5001") << "4090" << 5001 << 0x59;
    QTest::newRow("4090 5200") << "4090" << 5200 << 0x5A;
    QTest::newRow("unknown sensor as 4090") << "9999" << 5200 << 0x5A;
    QTest::newRow("empty sensor as 4090") << "" << 800 << 0x07;
    QTest::newRow("3050 0") << "3050" << 0 << 1;
    QTest::newRow("3050 250") << "3050" << 250 << 1;
    QTest::newRow("3050 251") << "3050" << 251 << 2;
    QTest::newRow("3050 1000") << "3050" << 1000 << 4;
    QTest::newRow("3050 1001") << "3050" << 1001 << 5;
    QTest::newRow("3050 2000") << "3050" << 2000 << 8;
    QTest::newRow("3050 2001") << "3050" << 2001 << 0x45;
    QTest::newRow("3050 3500") << "3050" << 3500 << 0x47;
    QTest::newRow("3050 4000") << "3050" << 4000 << 0x48;
    QTest::newRow("3050 4001") << "3050" << 4001 << 0;
    QTest::newRow("3389 400") << "3389" << 400 << 8;
    QTest::newRow("3389 12750") << "3389" << 12750 << 0xFF;
    QTest::newRow("3389 12800 wraps") << "3389" << 12800 << 0;
    QTest::newRow("3389 26000") << "3389" << 26000 << 0x08;
    // Below the range the byte wraps as the arithmetic says.
    QTest::newRow("3360 50") << "3360" << 50 << 0xFF;
}

void tst_DeviceCodes::dpiCode()
{
    QFETCH(QString, sensor);
    QFETCH(int, dpi);
    QFETCH(int, code);
    QCOMPARE(int(DpiCodes::code(sensor, dpi)), code);
}

void tst_DeviceCodes::dpiStages_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<Bytes>("codes553");
    QTest::addColumn<Bytes>("codes560");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("highBits");

    QTest::newRow("three of eight")
        << 3 << "3360" << QList<int>{400, 800, 1600, 3200, 6400, 100, 200, 300}
        << hex("03070f8080808080") << hex("03070f1f3f000102") << 0x07 << 0;
    QTest::newRow("3389 above 12799")
        << 4 << "3389" << QList<int>{400, 12800, 12799, 20000, 100, 100, 100, 13000}
        << hex("0800ff9080808080") << hex("0800ff9002020204") << 0x0F << 0x8A;
    QTest::newRow("all eight") << 8 << "4090" << QList<int>{100, 200, 300, 400, 500, 600, 700, 800}
                               << hex("0001020304050607") << hex("0001020304050607") << 0xFF << 0;
    // A short list counts its missing stages as 0 DPI; a ninth value is
    // never read.
    QTest::newRow("short list") << 2 << "3050" << QList<int>{400} << hex("0201808080808080")
                                << hex("0201010101010101") << 0x03 << 0;
    QTest::newRow("nine values") << 9 << "3360"
                                 << QList<int>{100, 200, 300, 400, 500, 600, 700, 800, 25600}
                                 << hex("0001020304050607") << hex("0001020304050607") << 0xFF << 0;
    QTest::newRow("no stage") << 0 << "3360" << QList<int>{400} << hex("8080808080808080")
                              << hex("03ffffffffffffff") << 0 << 0;
}

void tst_DeviceCodes::dpiStages()
{
    QFETCH(int, count);
    QFETCH(QString, sensor);
    QFETCH(QList<int>, values);
    QFETCH(Bytes, codes553);
    QFETCH(Bytes, codes560);
    QFETCH(int, mask);
    QFETCH(int, highBits);
    QCOMPARE(bytes(DpiCodes::codesWithInactiveStages(count, sensor, values)), codes553);
    QCOMPARE(bytes(DpiCodes::codes(sensor, values)), codes560);
    QCOMPARE(int(DpiCodes::activeStageMask(count)), mask);
    QCOMPARE(int(DpiCodes::highBitMask(values)), highBits);
}

using Setting = LightingCodes::Setting;
Q_DECLARE_METATYPE(LightingCodes::Setting)

static void addLightingColumns()
{
    QTest::addColumn<int>("effect");
    QTest::addColumn<int>("option1");
    QTest::addColumn<int>("option2");
    QTest::addColumn<Bytes>("expected");
}

void tst_DeviceCodes::colourfulLighting_data()
{
    addLightingColumns();
    QTest::newRow("static, brightness 1") << 0 << 3 << 1 << hex("014000");
    QTest::newRow("effect 1") << 1 << 0 << 4 << hex("03000a");
    QTest::newRow("effect 2") << 2 << 4 << 4 << hex("040001");
    QTest::newRow("effect 3 is off") << 3 << 2 << 4 << hex("000000");
    QTest::newRow("effect 4") << 4 << 1 << 3 << hex("02c000");
    QTest::newRow("effect 5") << 5 << 2 << 4 << hex("05ff05");
    QTest::newRow("effect 6") << 6 << 2 << 4 << hex("060000");
    QTest::newRow("effect 7") << 7 << 2 << 2 << hex("078000");
    QTest::newRow("effect 8") << 8 << 1 << 4 << hex("08ff11");
    QTest::newRow("effect 9") << 9 << 3 << 4 << hex("09ff07");
    QTest::newRow("effect 10") << 10 << 4 << 1 << hex("0a4014");
    QTest::newRow("effect 11") << 11 << 1 << 1 << hex("000000");
    QTest::newRow("steps out of range") << 5 << 5 << 0 << hex("050000");
}

void tst_DeviceCodes::colourfulLighting()
{
    QFETCH(int, effect);
    QFETCH(int, option1);
    QFETCH(int, option2);
    QFETCH(Bytes, expected);
    const Setting s = LightingCodes::colourful(uchar(effect), uchar(option1), uchar(option2));
    QCOMPARE(of({char(s.mode), char(s.parameter1), char(s.parameter2)}), expected);
}

void tst_DeviceCodes::plainLighting_data()
{
    addLightingColumns();
    QTest::newRow("steady, level 0") << 0 << 3 << 0 << hex("010101");
    QTest::newRow("steady, level 4") << 0 << 3 << 4 << hex("010a01");
    QTest::newRow("steady, level 5") << 0 << 3 << 5 << hex("010001");
    QTest::newRow("effect 1") << 1 << 2 << 0 << hex("020301");
    QTest::newRow("effect 2") << 2 << 1 << 0 << hex("031801");
    QTest::newRow("effect 2, step 5") << 2 << 5 << 0 << hex("030001");
    QTest::newRow("effect 4") << 4 << 0 << 0 << hex("020103");
    QTest::newRow("effect 3") << 3 << 1 << 1 << hex("000000");
}

void tst_DeviceCodes::plainLighting()
{
    QFETCH(int, effect);
    QFETCH(int, option1);
    QFETCH(int, option2);
    QFETCH(Bytes, expected);
    const Setting s = LightingCodes::plain(uchar(effect), uchar(option1), uchar(option2));
    QCOMPARE(of({char(s.mode), char(s.parameter1), char(s.parameter2)}), expected);
}

void tst_DeviceCodes::stageColours_data()
{
    QTest::addColumn<QList<int>>("src24");
    QTest::addColumn<Bytes>("expected");
    QTest::addColumn<bool>("eighthStage");

    QList<int> full;
    for (int i = 1; i <= 25; ++i)
        full << i;
    QTest::newRow("25 elements") << full << hex("0102030405060708090a0b0c0d0e0f101112131415161718")
                                 << true;
    QTest::newRow("short") << QList<int>{255, 256 + 7, -1}
                           << hex("ff07ff000000000000000000000000000000000000000000") << false;
    QTest::newRow("blue of stage 8 only")
        << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9}
        << hex("000000000000000000000000000000000000000000000009") << true;
}

void tst_DeviceCodes::stageColours()
{
    QFETCH(QList<int>, src24);
    QFETCH(Bytes, expected);
    QFETCH(bool, eighthStage);
    const LightingCodes::StageColours colours = LightingCodes::stageColours(src24);
    QCOMPARE(bytes(colours), expected);
    QCOMPARE(LightingCodes::hasEighthStageColour(colours), eighthStage);
}

void tst_DeviceCodes::gunCommand553_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<int>("option3");
    QTest::addColumn<Bytes>("expected");
    QTest::newRow("plain") << 1 << QList<int>{10, 20, 5, 99} << 0 << hex("0a140500");
    QTest::newRow("negated") << 3 << QList<int>{10, 20, 5} << 1 << hex("0a14fb02");
    QTest::newRow("negative Y negated") << 2 << QList<int>{10, 20, -5} << 0x80 << hex("0a140501");
    QTest::newRow("low bytes") << 2 << QList<int>{300, -2, 0} << 0 << hex("2cfe0001");
    QTest::newRow("short list") << 2 << QList<int>{7} << 1 << hex("07000001");
}

void tst_DeviceCodes::gunCommand553()
{
    QFETCH(int, slot);
    QFETCH(QList<int>, values);
    QFETCH(int, option3);
    QFETCH(Bytes, expected);
    QCOMPARE(bytes(GunCodes::command553(slot, values, uchar(option3))), expected);
}

void tst_DeviceCodes::translate_data()
{
    QTest::addColumn<Bytes>("record");
    QTest::addColumn<Bytes>("on553");
    QTest::addColumn<Bytes>("on560");

    const auto row = [](const char *name, const char *record, const char *on553,
                        const char *on560 = nullptr) {
        QTest::newRow(name) << hex(record) << hex(on553) << hex(on560 ? on560 : on553);
    };
    row("left button", "0000f000", "0100f000");
    row("double click, third code 3", "00f01e03", "0af01e03");
    row("double click as the screen writes it", "00f01e02", "0af01e02");
    row("1E with third code 3", "00001e03", "0a001e03");
    row("1E without F0 and 3", "00001e02", "01001e02");
    row("fire", "01040a05", "0a040a05");
    row("combination", "02030405", "00030405");
    row("media", "0300e900", "0300e900");
    row("macro", "04020300", "09020400");
    row("sniper", "05000400", "07000401", "0b000101");
    row("DPI-", "05000200", "07000200");
    row("windows", "06042c1b", "00042c1b");
    row("shortcut", "0700e011", "0000e011");
    row("gun switch", "08000200", "08000200");
    row("unlisted", "09010203", "09010203");
    row("FE", "fe010203", "fe010203");
    row("FF", "ff000000", "04000000");
}

void tst_DeviceCodes::translate()
{
    QFETCH(Bytes, record);
    QFETCH(Bytes, on553);
    QFETCH(Bytes, on560);
    KeyMatrixCodes::Entry entry{};
    std::copy_n(record.constData(), 4, entry.begin());
    QCOMPARE(bytes(KeyMatrixCodes::translate(entry, false)), on553);
    QCOMPARE(bytes(KeyMatrixCodes::translate(entry, true)), on560);

    // The same record in the first slot of a whole matrix, given as texts
    // the way a profile file hands them back, with a value beyond a byte.
    QVariantList src64;
    for (char c : record)
        src64 << QString::number(uchar(c) + (src64.isEmpty() ? 256 : 0));
    const KeyMatrixCodes::Block matrix = KeyMatrixCodes::userMatrix(sceneInts(src64), false);
    QCOMPARE(bytes(matrix).left(4), on553);
}

void tst_DeviceCodes::slotsAreReordered()
{
    QList<int> src64;
    for (int k = 0; k < 16; ++k)
        src64 << 0x09 << k << 0x10 + k << 0x20 + k; // passes untranslated
    const Bytes matrix = bytes(KeyMatrixCodes::userMatrix(src64, true));
    const QList<int> recordOfSlot{0, 1, 2, 3, 4, 8, 7, 7, 6, 5, 10, 11, 12, 13, 14, 15};
    for (int slot = 0; slot < 16; ++slot) {
        const int k = recordOfSlot.at(slot);
        QCOMPARE(matrix.mid(slot * 4, 4), of({0x09, char(k), char(0x10 + k), char(0x20 + k)}));
    }
}

void tst_DeviceCodes::shortRecordListsReadZeros()
{
    // Every missing record is 00 00 00 00, a plain mouse button entry.
    const Bytes expected = hex("01000000").repeated(16);
    QCOMPARE(bytes(KeyMatrixCodes::userMatrix({}, false)), expected);
    QList<int> partial{0x04, 0x01, 0x02};
    Bytes withMacro = expected;
    withMacro.replace(0, 4, hex("09010300"));
    QCOMPARE(bytes(KeyMatrixCodes::userMatrix(partial, false)), withMacro);
    QVERIFY(!KeyMatrixCodes::hasGunSwitch(KeyMatrixCodes::userMatrix({}, true)));
}

void tst_DeviceCodes::gunSwitchExpansion_data()
{
    QTest::addColumn<bool>("family560");
    QTest::addColumn<int>("preset");
    QTest::addColumn<QList<int>>("otherParam");
    // Entry 3 (the switch button) of M1..M4, entry 0 of M2..M4, the mask.
    QTest::addColumn<QList<Bytes>>("switchEntries");
    QTest::addColumn<QList<Bytes>>("fireEntries");
    QTest::addColumn<int>("mask");

    const QList<int> periods{100, 200, 300};
    const QList<Bytes> fire{hex("0b006400"), hex("0b01c800"), hex("0b022c00")};
    QTest::newRow("560 one") << true << 1 << periods
                             << QList<Bytes>{hex("08050100"), hex("08130033"), hex("08130033"),
                                             hex("08130033")}
                             << fire << 7;
    QTest::newRow("560 two") << true << 2 << periods
                             << QList<Bytes>{hex("08050100"), hex("08130333"), hex("08130033"),
                                             hex("08130033")}
                             << fire << 15;
    QTest::newRow("560 three") << true << 3 << periods
                               << QList<Bytes>{hex("08050100"), hex("08130333"), hex("08130333"),
                                               hex("08130033")}
                               << fire << 31;
    QTest::newRow("560 other preset")
        << true << 7 << periods
        << QList<Bytes>{hex("08050700"), hex("08132333"), hex("08132333"), hex("08132333")} << fire
        << -1;
    QTest::newRow("553 one") << false << 1 << periods
                             << QList<Bytes>{hex("08000101"), hex("08000100"), hex("08000100"),
                                             hex("08000100")}
                             << fire << -1;
    QTest::newRow("553 two") << false << 2 << periods
                             << QList<Bytes>{hex("08000101"), hex("08000102"), hex("08000100"),
                                             hex("08000100")}
                             << fire << -1;
    QTest::newRow("553 three") << false << 3 << periods
                               << QList<Bytes>{hex("08000101"), hex("08000102"), hex("08000103"),
                                               hex("08000100")}
                               << fire << -1;
    QTest::newRow("553 other preset")
        << false << 0 << periods
        << QList<Bytes>{hex("08000100"), hex("08000133"), hex("08000133"), hex("08000133")} << fire
        << -1;
    QTest::newRow("missing periods")
        << false << 1 << QList<int>{5}
        << QList<Bytes>{hex("08000101"), hex("08000100"), hex("08000100"), hex("08000100")}
        << QList<Bytes>{hex("0b000500"), hex("0b010000"), hex("0b020000")} << -1;
}

void tst_DeviceCodes::gunSwitchExpansion()
{
    QFETCH(bool, family560);
    QFETCH(int, preset);
    QFETCH(QList<int>, otherParam);
    QFETCH(QList<Bytes>, switchEntries);
    QFETCH(QList<Bytes>, fireEntries);
    QFETCH(int, mask);

    QList<int> src64(64, 0);
    src64[12] = 0x08;
    src64[13] = 0x05; // the switch's first code
    src64[14] = preset;
    QList<int> firmware;
    for (int k = 0; k < 16; ++k)
        firmware << 0x0E << 0x10 + k << 0x20 + k << 0x30 + k;

    const KeyMatrixCodes::Block m1 = KeyMatrixCodes::userMatrix(src64, family560);
    QVERIFY(KeyMatrixCodes::hasGunSwitch(m1));
    const KeyMatrixCodes::GunSwitchSet set = KeyMatrixCodes::expandGunSwitch(
        m1, KeyMatrixCodes::fromRecords(firmware), otherParam, family560);

    for (int m = 0; m < 4; ++m) {
        const Bytes matrix = bytes(set.matrices[std::size_t(m)]);
        QCOMPARE(matrix.mid(12, 4), switchEntries.at(m));
        if (m == 0) {
            QCOMPARE(matrix.left(4), bytes(m1).left(4));
            continue;
        }
        QCOMPARE(matrix.left(4), fireEntries.at(m - 1));
        // Everything else is the firmware table as it stands.
        for (int k = 1; k < 16; ++k) {
            if (k != 3)
                QCOMPARE(matrix.mid(k * 4, 4),
                         of({0x0E, char(0x10 + k), char(0x20 + k), char(0x30 + k)}));
        }
    }
    QCOMPARE(set.gunSwitchMask.has_value(), mask >= 0);
    if (mask >= 0)
        QCOMPARE(int(*set.gunSwitchMask), mask);
}

void tst_DeviceCodes::macroBlock_data()
{
    QTest::addColumn<uint>("slot");
    QTest::addColumn<int>("number"); // -1: nothing is sent
    QTest::newRow("0") << 0u << 1;
    QTest::newRow("11") << 11u << 12;
    QTest::newRow("12") << 12u << -1;
    QTest::newRow("255") << 255u << -1;
    QTest::newRow("low byte 0") << 256u << 1;
    QTest::newRow("-1") << uint(-1) << -1;
}

void tst_DeviceCodes::macroBlock()
{
    QFETCH(uint, slot);
    QFETCH(int, number);
    const std::optional<uchar> n = MacroBlock::macroNumber(slot);
    QCOMPARE(n ? int(*n) : -1, number);

    QList<int> data;
    for (int i = 0; i < 130; ++i)
        data << i + 256;
    const Bytes block = bytes(MacroBlock::fromList(data));
    QCOMPARE(block.size(), 128);
    QCOMPARE(int(uchar(block.at(127))), 127);
    QCOMPARE(bytes(MacroBlock::fromList({1, 2})), hex("0102") + Bytes(126, '\0'));
}

void tst_DeviceCodes::profileBlockPatchesOnlyItsBytes()
{
    ProfileBlock::Block block;
    block.fill(0xAA);
    ProfileBlock::writeDpi(block, {1, 2, 3, 4, 5, 6, 7, 8}, 0x0F, std::nullopt);
    ProfileBlock::writeLighting(block, {5, 0xFF, 5});
    ProfileBlock::writeGunSlot(block, {9, 8, 7});
    Bytes expected(128, char(0xAA));
    expected.replace(84, 16, hex("01020304050607080102030405060708"));
    expected[100] = 0x0F;
    expected.replace(71, 3, hex("05ff05"));
    expected[65] = char(0xAA & ~0x04);
    expected.replace(78, 4, hex("f0090807"));
    QCOMPARE(bytes(block), expected);

    ProfileBlock::writeDpi(block, {}, 0, uchar(0x12));
    QCOMPARE(bytes(block).mid(82, 2), hex("1212"));
    ProfileBlock::writeStageColours(block, 104, LightingCodes::stageColours({1, 2, 3}));
    QCOMPARE(bytes(block).mid(104, 24), hex("010203") + Bytes(21, '\0'));
    // A buffer that would run past the block is not written.
    const Bytes before = bytes(block);
    ProfileBlock::writeStageColours(block, 105, LightingCodes::stageColours({1}));
    QCOMPARE(bytes(block), before);
}

void tst_DeviceCodes::sceneValues()
{
    QCOMPARE(sceneInts({1, QStringLiteral("12"), 3.0, QStringLiteral("x"), QVariant(), -4}),
             (QList<int>{1, 12, 3, 0, 0, -4}));
}

QTEST_APPLESS_MAIN(tst_DeviceCodes)
#include "tst_devicecodes.moc"
