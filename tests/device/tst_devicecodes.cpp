#include "bytes.h"
#include "dpicodes.h"
#include "family553.h"
#include "family560.h"
#include "guncodes.h"
#include "keymatrixcodes.h"
#include "lightingcodes.h"
#include "macroblock.h"
#include "profileblock.h"
#include "protocol.h"
#include "scenevalues.h"
#include "virtualmouse.h"

#include <QTest>

using Bytes = QByteArray;

static Bytes of(std::initializer_list<int> values)
{
    Bytes b;
    for (int v : values)
        b.append(char(v));
    return b;
}

class tst_DeviceCodes : public QObject
{
    Q_OBJECT

private slots:
    void checksum_data()
    {
        QTest::addColumn<Bytes>("seven");
        QTest::addColumn<int>("sum");
        QTest::newRow("all zero") << Bytes(7, '\0') << 0xFF;
        QTest::newRow("sum wraps") << Bytes(7, '\xff') << 0x06;
    }

    void checksum()
    {
        QFETCH(Bytes, seven);
        QFETCH(int, sum);
        QCOMPARE(int(HidProtocol::checksum(reinterpret_cast<const uchar *>(seven.constData()))),
                 sum);
    }

    void scrambleKnownReports_data()
    {
        QTest::addColumn<Bytes>("report");
        QTest::addColumn<Bytes>("scrambled");
        // Worked out separately, rotating the eight bytes as one 64-bit number.
        QTest::newRow("01H rate 4")
            << bytes(HidProtocol::commandReport(0x01, {4})) << hex("0046b4ce377f5df7d6");
        QTest::newRow("8CH profile 3")
            << bytes(HidProtocol::commandReport(0x8C, {3})) << hex("0046b09e37abb5f7d6");
    }

    void scrambleKnownReports()
    {
        QFETCH(Bytes, report);
        QFETCH(Bytes, scrambled);
        uchar code[8] = {};
        QVERIFY(HidProtocol::secrecyKey(QStringLiteral("370524"), code));
        Bytes b = report;
        HidProtocol::scramble(reinterpret_cast<uchar *>(b.data()) + 1, code);
        QCOMPARE(b.toHex(' '), scrambled.toHex(' '));
        HidProtocol::unscramble(reinterpret_cast<uchar *>(b.data()) + 1, code);
        QCOMPARE(b, report);

        // The virtual mouse reads the wire bytes with its own code, and
        // refuses them once the checksum is off.
        VirtualMouseBackend backend;
        VirtualMouse &mouse = backend.addMouse(560);
        const HidHandlePtr handle = backend.open(QStringLiteral("virtual:0:0"));
        const auto send = [&](const Bytes &wire) {
            backend.sendFeatureReport(handle.get(), reinterpret_cast<const uchar *>(wire.data()),
                                      std::size_t(wire.size()));
        };
        send(scrambled);
        QCOMPARE(mouse.commands(), QList<Bytes>{report});
        QCOMPARE(mouse.protocolErrors(), QStringList());
        Bytes wrong = report;
        wrong[8] = char(wrong.at(8) + 1);
        HidProtocol::scramble(reinterpret_cast<uchar *>(wrong.data()) + 1, code);
        send(wrong);
        QCOMPARE(mouse.protocolErrors().size(), 1);
        QVERIFY(mouse.protocolErrors().at(0).startsWith(QLatin1String("checksum mismatch")));
    }

    void scrambleRoundTrips()
    {
        // Code bytes 0 and 7 take no part, byte 6 does; every block comes back.
        const std::array<uchar, 8> code{0x5A, 1, 0x80, 3, 0xFE, 5, 6, 0x11};
        std::array<uchar, 8> other = code, byte6 = code;
        other[0] = 0xA5;
        other[7] = 0x12;
        byte6[6] = 7;
        for (const char *text :
             {"0000000000000000", "ffffffffffffffff", "0123456789abcdef", "80017ffe10203040"}) {
            const Bytes block = hex(text);
            Bytes a = block, b = block, c = block;
            HidProtocol::scramble(bytesOf(a), code.data());
            HidProtocol::scramble(bytesOf(b), other.data());
            HidProtocol::scramble(bytesOf(c), byte6.data());
            QCOMPARE(a, b);
            QVERIFY(a != c);
            HidProtocol::unscramble(bytesOf(a), code.data());
            HidProtocol::unscramble(bytesOf(c), byte6.data());
            QCOMPARE(a + c, block + block);
        }
    }

    void dpiStages_data()
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
        // A short list counts its missing stages as 0 DPI; a ninth value is
        // never read.
        QTest::newRow("short list") << 2 << "3050" << QList<int>{400} << hex("0201808080808080")
                                    << hex("0201010101010101") << 0x03 << 0;
        QTest::newRow("nine values")
            << 9 << "3360" << QList<int>{100, 200, 300, 400, 500, 600, 700, 800, 25600}
            << hex("0001020304050607") << hex("0001020304050607") << 0xFF << 0;
        QTest::newRow("no stage") << 0 << "3360" << QList<int>{400} << hex("8080808080808080")
                                  << hex("03ffffffffffffff") << 0 << 0;
        // Each sensor's range edges, eight stages at a time. An unknown or
        // empty sensor counts as 4090; below a range the byte wraps as the
        // arithmetic says.
        const auto eight = [](const char *name, const char *sensor, const QList<int> &values,
                              const char *codes, int highBits = 0) {
            QTest::newRow(name) << 8 << sensor << values << hex(codes) << hex(codes) << 0xFF
                                << highBits;
        };
        eight("3360", "3360", {400, 3200, 12000, 50, 100, 200, 300, 800}, "031f77ff00010207");
        eight("4090", "4090", {5000, 5001, 5200, 800, 100, 200, 300, 400}, "31595a0700010203");
        eight("unknown", "9999", {5200, 5001, 800, 5000, 100, 200, 300, 400}, "5a59073100010203");
        eight("empty", "", {5200, 5001, 800, 5000, 100, 200, 300, 400}, "5a59073100010203");
        eight("3050", "3050", {0, 250, 251, 1000, 1001, 2000, 2001, 3500}, "0101020405084547");
        eight("3050 top", "3050", {4000, 4001, 0, 0, 0, 0, 0, 0}, "4800010101010101");
        eight("3389 wraps", "3389", {400, 12750, 12800, 26000, 12799, 20000, 100, 13000},
              "08ff0008ff900204", 0xAC);
    }

    void dpiStages()
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

    void lighting_data()
    {
        QTest::addColumn<bool>("plain"); // the plain LED set, otherwise the colourful one
        QTest::addColumn<int>("effect");
        QTest::addColumn<int>("option1");
        QTest::addColumn<int>("option2");
        QTest::addColumn<Bytes>("expected");
        // Colourful effects 3 and 11 and plain effect 3 are off; options past
        // their steps give 0.
        const struct
        {
            bool plain;
            int effect, option1, option2;
            const char *expected;
        } rows[] = {
            {false, 0, 3, 1, "014000"}, {false, 1, 0, 4, "03000a"},  {false, 2, 4, 4, "040001"},
            {false, 3, 2, 4, "000000"}, {false, 4, 1, 3, "02c000"},  {false, 5, 2, 4, "05ff05"},
            {false, 6, 2, 4, "060000"}, {false, 7, 2, 2, "078000"},  {false, 8, 1, 4, "08ff11"},
            {false, 9, 3, 4, "09ff07"}, {false, 10, 4, 1, "0a4014"}, {false, 11, 1, 1, "000000"},
            {false, 5, 5, 0, "050000"}, {true, 0, 3, 0, "010101"},   {true, 0, 3, 4, "010a01"},
            {true, 0, 3, 5, "010001"},  {true, 1, 2, 0, "020301"},   {true, 2, 1, 0, "031801"},
            {true, 2, 5, 0, "030001"},  {true, 4, 0, 0, "020103"},   {true, 3, 1, 1, "000000"}};
        for (const auto &r : rows) {
            QTest::addRow("%s %d %d %d", r.plain ? "plain" : "colourful", r.effect, r.option1,
                          r.option2)
                << r.plain << r.effect << r.option1 << r.option2 << hex(r.expected);
        }
    }

    void lighting()
    {
        QFETCH(bool, plain);
        QFETCH(int, effect);
        QFETCH(int, option1);
        QFETCH(int, option2);
        QFETCH(Bytes, expected);
        const auto code = plain ? LightingCodes::plain : LightingCodes::colourful;
        const LightingCodes::Setting s = code(uchar(effect), uchar(option1), uchar(option2));
        QCOMPARE(of({s.mode, s.parameter1, s.parameter2}), expected);
    }

    void stageColours_data()
    {
        QTest::addColumn<QList<int>>("src24");
        QTest::addColumn<Bytes>("expected");
        QTest::addColumn<bool>("eighthStage");

        QList<int> full;
        for (int i = 1; i <= 25; ++i)
            full << i;
        QTest::newRow("25 elements")
            << full << hex("0102030405060708090a0b0c0d0e0f101112131415161718") << true;
        QTest::newRow("short") << QList<int>{255, 256 + 7, -1}
                               << hex("ff07ff000000000000000000000000000000000000000000") << false;
        QTest::newRow("blue of stage 8 only")
            << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9}
            << hex("000000000000000000000000000000000000000000000009") << true;
    }

    void stageColours()
    {
        QFETCH(QList<int>, src24);
        QFETCH(Bytes, expected);
        QFETCH(bool, eighthStage);
        const LightingCodes::StageColours colours = LightingCodes::stageColours(src24);
        QCOMPARE(bytes(colours), expected);
        QCOMPARE(LightingCodes::hasEighthStageColour(colours), eighthStage);
    }

    void gunCommand553_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<int>("option3");
        QTest::addColumn<Bytes>("expected");
        QTest::newRow("plain") << 1 << QList<int>{10, 20, 5, 99} << 0 << hex("0a140500");
        QTest::newRow("negated") << 3 << QList<int>{10, 20, 5} << 1 << hex("0a14fb02");
        QTest::newRow("negative Y negated")
            << 2 << QList<int>{10, 20, -5} << 0x80 << hex("0a140501");
        QTest::newRow("low bytes") << 2 << QList<int>{300, -2, 0} << 0 << hex("2cfe0001");
        QTest::newRow("short list") << 2 << QList<int>{7} << 1 << hex("07000001");
    }

    void gunCommand553()
    {
        QFETCH(int, slot);
        QFETCH(QList<int>, values);
        QFETCH(int, option3);
        QFETCH(Bytes, expected);
        QCOMPARE(bytes(GunCodes::command553(slot, values, uchar(option3))), expected);
    }

    void translate_data()
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

    void translate()
    {
        QFETCH(Bytes, record);
        QFETCH(Bytes, on553);
        QFETCH(Bytes, on560);
        KeyMatrixCodes::Entry entry{};
        std::copy_n(record.constData(), 4, entry.begin());
        QCOMPARE(bytes(KeyMatrixCodes::translate(entry, Family553Operations::sniperKey)), on553);
        QCOMPARE(bytes(KeyMatrixCodes::translate(entry, Family560Operations::sniperKey)), on560);

        // The same record in the first slot of a whole matrix, given as texts
        // the way a profile file hands them back, with a value beyond a byte.
        QVariantList src64;
        for (char c : record)
            src64 << QString::number(uchar(c) + (src64.isEmpty() ? 256 : 0));
        const KeyMatrixCodes::Block matrix =
            KeyMatrixCodes::userMatrix(sceneInts(src64), Family553Operations::sniperKey);
        QCOMPARE(bytes(matrix).left(4), on553);
    }

    void userMatrix()
    {
        // Slots 5..9 carry records 8, 7, 7, 6, 5.
        QList<int> src64;
        for (int k = 0; k < 16; ++k)
            src64 << 0x09 << k << 0x10 + k << 0x20 + k; // passes untranslated
        QCOMPARE(bytes(KeyMatrixCodes::userMatrix(src64, Family560Operations::sniperKey)),
                 hex("09001020 09011121 09021222 09031323 09041424 09081828 09071727 09071727 "
                     "09061626 09051525 090a1a2a 090b1b2b 090c1c2c 090d1d2d 090e1e2e 090f1f2f"));
        // Every missing record is 00 00 00 00, a plain mouse button entry.
        const KeyMatrixCodes::Entry sniper = Family553Operations::sniperKey;
        QCOMPARE(bytes(KeyMatrixCodes::userMatrix({}, sniper)), hex("01000000").repeated(16));
        QCOMPARE(bytes(KeyMatrixCodes::userMatrix({0x04, 0x01, 0x02}, sniper)),
                 hex("09010300") + hex("01000000").repeated(15));
        QVERIFY(!KeyMatrixCodes::hasGunSwitch(KeyMatrixCodes::userMatrix({}, sniper)));
    }

    void gunSwitchExpansion_data()
    {
        QTest::addColumn<bool>("family560");
        QTest::addColumn<int>("preset");
        QTest::addColumn<QList<int>>("otherParam");
        // Entry 3 (the switch button) of M1..M4, entry 0 of M2..M4, the mask.
        QTest::addColumn<Bytes>("switchEntries");
        QTest::addColumn<Bytes>("fireEntries");
        QTest::addColumn<int>("mask");

        const auto row = [](const char *name, bool family560, int preset, const char *switches,
                            int mask, QList<int> periods = {100, 200, 300},
                            const char *fire = "0b006400 0b01c800 0b022c00") {
            QTest::newRow(name) << family560 << preset << periods << hex(switches) << hex(fire)
                                << mask;
        };
        row("560 one", true, 1, "08050100 08130033 08130033 08130033", 7);
        row("560 two", true, 2, "08050100 08130333 08130033 08130033", 15);
        row("560 three", true, 3, "08050100 08130333 08130333 08130033", 31);
        row("560 other preset", true, 7, "08050700 08132333 08132333 08132333", -1);
        row("553 one", false, 1, "08000101 08000100 08000100 08000100", -1);
        row("553 two", false, 2, "08000101 08000102 08000100 08000100", -1);
        row("553 three", false, 3, "08000101 08000102 08000103 08000100", -1);
        row("553 other preset", false, 0, "08000100 08000133 08000133 08000133", -1);
        row("missing periods", false, 1, "08000101 08000100 08000100 08000100", -1, {5},
            "0b000500 0b010000 0b020000");
    }

    void gunSwitchExpansion()
    {
        QFETCH(bool, family560);
        QFETCH(int, preset);
        QFETCH(QList<int>, otherParam);
        QFETCH(Bytes, switchEntries);
        QFETCH(Bytes, fireEntries);
        QFETCH(int, mask);

        QList<int> src64(64, 0);
        src64[12] = 0x08;
        src64[13] = 0x05; // the switch's first code
        src64[14] = preset;
        QList<int> firmware;
        for (int k = 0; k < 16; ++k)
            firmware << 0x0E << 0x10 + k << 0x20 + k << 0x30 + k;

        const KeyMatrixCodes::Block m1 = KeyMatrixCodes::userMatrix(src64, {});
        QVERIFY(KeyMatrixCodes::hasGunSwitch(m1));
        const KeyMatrixCodes::Block table = KeyMatrixCodes::fromRecords(firmware);
        const KeyMatrixCodes::GunSwitchSet set = KeyMatrixCodes::expandGunSwitch(
            m1, table, otherParam,
            family560 ? Family560Operations::linkGunSwitch : Family553Operations::linkGunSwitch);

        // M1 is the user's matrix, M2 to M4 the firmware table as it stands
        // but for a fire entry first; each has its own switch entry.
        for (int m = 0; m < 4; ++m) {
            Bytes expected = bytes(m == 0 ? m1 : table);
            if (m > 0)
                expected.replace(0, 4, fireEntries.mid((m - 1) * 4, 4));
            expected.replace(12, 4, switchEntries.mid(m * 4, 4));
            QCOMPARE(bytes(set.matrices[std::size_t(m)]), expected);
        }
        QCOMPARE(set.gunSwitchMask ? int(*set.gunSwitchMask) : -1, mask);
    }

    void macroBlock()
    {
        // Macro numbers 1 to 12 by the slot's low byte; other slots send nothing.
        const QList<std::pair<uint, int>> numbers{{0, 1},    {11, 12}, {12, -1},
                                                  {255, -1}, {256, 1}, {uint(-1), -1}};
        for (const auto &[slot, number] : numbers) {
            const std::optional<uchar> n = MacroBlock::macroNumber(slot);
            QCOMPARE(n ? int(*n) : -1, number);
        }

        QList<int> data;
        for (int i = 0; i < 130; ++i)
            data << i + 256;
        const Bytes block = bytes(MacroBlock::fromList(data));
        QCOMPARE(block.size(), 128);
        QCOMPARE(int(uchar(block.at(127))), 127);
        QCOMPARE(bytes(MacroBlock::fromList({1, 2})), hex("0102") + Bytes(126, '\0'));
    }

    void profileBlockPatchesOnlyItsBytes()
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

    void familyAndSceneValues()
    {
        // "560" picks its driver; any other text is family 553.
        for (const char *icType : {"560", "553", "", "0560", "abc"}) {
            const std::unique_ptr<DeviceOperations> operations =
                DeviceOperations::create(QLatin1String(icType));
            QCOMPARE(dynamic_cast<Family560Operations *>(operations.get()) != nullptr,
                     QByteArray(icType) == "560");
        }
        QCOMPARE(sceneInts({1, QStringLiteral("12"), 3.0, QStringLiteral("x"), QVariant(), -4}),
                 (QList<int>{1, 12, 3, 0, 0, -4}));
    }
};

QTEST_APPLESS_MAIN(tst_DeviceCodes)
#include "tst_devicecodes.moc"
