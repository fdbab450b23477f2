#include "bytes.h"
#include "dpicodes.h"
#include "family553.h"
#include "family560.h"
#include "keymatrixcodes.h"
#include "lightingcodes.h"
#include "macroblock.h"
#include "profileblock.h"
#include "protocol.h"
#include "scenevalues.h"

#include <QTest>

using Bytes = QByteArray;

class tst_DeviceCodes : public QObject
{
    Q_OBJECT

private slots:
    // Worked out separately; the checksum wraps; a 7th parameter and code bytes 0, 7 do nothing.
    void scramble()
    {
        QCOMPARE(bytes(HidProtocol::commandReport(0xFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1})),
                 hex("00ffffffffffffff06"));
        uchar code[8] = {};
        QVERIFY(HidProtocol::secrecyKey(QStringLiteral("370524"), code));
        for (const auto &[report, scrambled] :
             {std::pair{bytes(HidProtocol::commandReport(0x01, {4})), hex("0046b4ce377f5df7d6")},
              {bytes(HidProtocol::commandReport(0x8C, {3})), hex("0046b09e37abb5f7d6")}}) {
            Bytes b = report;
            HidProtocol::scramble(bytesOf(b) + 1, code);
            QCOMPARE(b.toHex(' '), scrambled.toHex(' '));
        }
        const std::array<uchar, 8> one{0x5A, 1, 0x80, 3, 0xFE, 5, 6, 0x11},
            other{0xA5, 1, 0x80, 3, 0xFE, 5, 6, 0x12};
        for (const char *text :
             {"0000000000000000", "ffffffffffffffff", "0123456789abcdef", "80017ffe10203040"}) {
            const Bytes block = hex(text);
            Bytes a = block, b = block;
            HidProtocol::scramble(bytesOf(a), one.data());
            HidProtocol::scramble(bytesOf(b), other.data());
            QCOMPARE(a, b);
            HidProtocol::unscramble(bytesOf(a), other.data());
            QCOMPARE(a, block);
        }
    }

    // Missing stages count as 0 DPI, an unknown sensor as 4090; below a range the byte wraps.
    void dpiStages()
    {
        // count, sensor, values, codes553 ("=" as codes560), codes560, mask, high bits
        for (const char *row :
             {"3 3360 400,800,1600,3200,6400,100,200,300 03070f8080808080 03070f1f3f000102 07 00",
              "4 3389 400,12800,12799,20000,100,100,100,13000 0800ff9080808080 0800ff9002020204 "
              "0f 8a",
              "0 3360 400 8080808080808080 03ffffffffffffff 00 00",
              "8 3360 400,3200,12000,50,100,200,300,800 = 031f77ff00010207 ff 00",
              "8 4090 5000,5001,5200,800,100,200,300,400 = 31595a0700010203 ff 00",
              "8 3050 0,250,251,1000,1001,2000,2001,3500 = 0101020405084547 ff 00",
              "8 3050 4000,4001,0,0,0,0,0,0 = 4800010101010101 ff 00",
              // Each step of the 3050's table, at its value and just above.
              "8 3050 500,750,1250,1500,1750,2500,3000,3500 = 0203050607454647 ff 00",
              "8 3050 501,751,1251,1501,1751,2501,3001,3501 = 0304060708464748 ff 00",
              "8 3389 400,12750,12800,26000,12799,20000,100,13000 = 08ff0008ff900204 ff ac"}) {
            const QStringList f = QString::fromLatin1(row).split(' ');
            QList<int> values;
            for (const QString &v : f.at(2).split(','))
                values << v.toInt();
            const int count = f.at(0).toInt();
            QCOMPARE(bytes(DpiCodes::codesWithInactiveStages(count, f.at(1), values)).toHex(),
                     (f.at(3) == "=" ? f.at(4) : f.at(3)).toLatin1());
            QCOMPARE(bytes(DpiCodes::codes(f.at(1), values)).toHex(), f.at(4).toLatin1());
            QCOMPARE(QString::asprintf("%02x%02x", DpiCodes::activeStageMask(count),
                                       DpiCodes::highBitMask(values)),
                     f.at(5) + f.at(6));
        }
    }

    // Colourful effects 3 and 11, plain effect 3 are off; options past their steps give 0.
    void lighting()
    {
        // The plain LED set (else the colourful one), effect, options, the three bytes.
        const std::tuple<bool, uchar, uchar, uchar, const char *> rows[] = {
            {false, 0, 3, 1, "014000"}, {false, 1, 0, 4, "03000a"},  {false, 2, 4, 4, "040001"},
            {false, 3, 2, 4, "000000"}, {false, 4, 1, 3, "02c000"},  {false, 5, 2, 4, "05ff05"},
            {false, 6, 2, 4, "060000"}, {false, 7, 2, 2, "078000"},  {false, 8, 1, 4, "08ff11"},
            {false, 9, 3, 4, "09ff07"}, {false, 10, 4, 1, "0a4014"}, {false, 11, 1, 1, "000000"},
            {false, 5, 5, 0, "050000"}, {true, 0, 3, 5, "010001"},   {true, 1, 2, 0, "020301"},
            {true, 2, 5, 0, "030001"},  {true, 4, 0, 0, "020103"},   {true, 3, 1, 1, "000000"}};
        for (const auto &[plain, effect, option1, option2, expected] : rows) {
            const auto code = plain ? LightingCodes::plain : LightingCodes::colourful;
            const LightingCodes::Setting s = code(effect, option1, option2);
            QCOMPARE(bytes(std::array{s.mode, s.parameter1, s.parameter2}), hex(expected));
        }
        // Each step (options 0 to 4) of every pace table and of brightness (effect 0, option 2).
        const std::tuple<bool, uchar, const char *> tables[] = {
            {false, 1, "0a07050301"}, {false, 0, "004080c0ff"},  {false, 8, "14110f0d0b"},
            {false, 9, "0f0d0a0705"}, {false, 10, "1e1b181614"}, {true, 0, "010305070a"},
            {true, 2, "1e18120c06"}};
        for (const auto &[plain, effect, expected] : tables) {
            const auto code = plain ? LightingCodes::plain : LightingCodes::colourful;
            QByteArray steps;
            for (uchar option = 0; option < 5; ++option) {
                const auto s = code(effect, effect ? option : 0, effect ? 4 : option);
                steps.append(char(plain || !effect ? s.parameter1 : s.parameter2));
            }
            QCOMPARE(steps.toHex(), QByteArray(expected));
        }
    }

    // A record, its entry on 553 and on 560 ("=" the same).
    void translate()
    {
        for (const char *row : {"0000f000 0100f000 =", "00f01e03 0af01e03 =", "00f01e02 0af01e02 =",
                                "00f01e04 01f01e04 =", "00001e02 01001e02 =", "01040a05 0a040a05 =",
                                "02030405 00030405 =", "0300e900 0300e900 =", "04020300 09020400 =",
                                "05000400 07000401 0b000101", "05000200 07000200 =",
                                "06042c1b 00042c1b =", "0700e011 0000e011 =", "08000200 08000200 =",
                                "09010203 09010203 =", "ff000000 04000000 ="}) {
            const QList<QByteArray> f = QByteArray(row).split(' ');
            const Bytes record = Bytes::fromHex(f.at(0));
            KeyMatrixCodes::Entry entry{};
            std::copy_n(record.constData(), 4, entry.begin());
            for (const auto &[sniperKey, expected] :
                 {std::pair{Family553Operations::sniperKey, f.at(1)},
                  {Family560Operations::sniperKey, f.at(2) == "=" ? f.at(1) : f.at(2)}})
                QCOMPARE(bytes(KeyMatrixCodes::translate(entry, sniperKey)).toHex(), expected);
        }
        // Buttons 6 to 9 go to the slots the firmware reads them from; a missing record is a plain
        // mouse button entry.
        QList<int> ten;
        for (int k = 0; k < 10; ++k)
            ten << 0x08 << k << 0 << 0;
        QCOMPARE(bytes(KeyMatrixCodes::userMatrix(ten, {})),
                 hex("08000000080100000802000008030000080400000808000008070000080700000806000008050"
                     "000") +
                     hex("01000000").repeated(6));
    }

    // M2 to M4 are the firmware table with a fire entry first; each has its switch at entry 3.
    void gunSwitchExpansion()
    {
        QList<int> firmware;
        for (int k = 0; k < 16; ++k)
            firmware << 0x0E << 0x10 + k << 0x20 + k << 0x30 + k;
        const KeyMatrixCodes::Block table = KeyMatrixCodes::fromRecords(firmware);
        // family, preset, periods, switches of M1..M4, fires of M2..M4, mask ("-" none)
        for (const char *row :
             {"560 1 100,200,300 08050100081300330813003308130033 - 07",
              "560 3 100,200,300 08050100081303330813033308130033 - 1f",
              "560 7 100,200,300 08050700081323330813233308132333 - -",
              "553 3 100,200,300 08000101080001020800010308000100 - -",
              "553 0 100,200,300 08000100080001330800013308000133 - -",
              "553 1 5 08000101080001000800010008000100 0b0005000b0100000b020000 -"}) {
            const QStringList f = QString::fromLatin1(row).split(' ');
            QList<int> src64(64, 0), periods;
            src64[12] = 0x08;
            src64[13] = 0x05; // the switch's first code
            src64[14] = f.at(1).toInt();
            for (const QString &v : f.at(2).split(','))
                periods << v.toInt();
            const Bytes switches = Bytes::fromHex(f.at(3).toLatin1());
            const Bytes fire =
                Bytes::fromHex(f.at(4) == "-" ? "0b0064000b01c8000b022c00" : f.at(4).toLatin1());
            const KeyMatrixCodes::Block m1 = KeyMatrixCodes::userMatrix(src64, {});
            const KeyMatrixCodes::GunSwitchSet set = KeyMatrixCodes::expandGunSwitch(
                m1, table, periods,
                f.at(0) == "560" ? Family560Operations::linkGunSwitch
                                 : Family553Operations::linkGunSwitch);
            for (int m = 0; m < 4; ++m) {
                Bytes expected = bytes(m == 0 ? m1 : table);
                if (m > 0)
                    expected.replace(0, 4, fire.mid((m - 1) * 4, 4));
                expected.replace(12, 4, switches.mid(m * 4, 4));
                QCOMPARE(bytes(set.matrices[std::size_t(m)]), expected);
            }
            QCOMPARE(set.gunSwitchMask ? QString::asprintf("%02x", *set.gunSwitchMask) : "-",
                     f.at(5));
        }
    }

    // Macro numbers by the slot's low byte (0: none); a block takes its values' low bytes.
    void macroBlock()
    {
        QList<int> numbers;
        for (uint slot : {0u, 11u, 12u, 255u, 256u, uint(-1)})
            numbers << MacroBlock::macroNumber(slot).value_or(0);
        QCOMPARE(numbers, (QList<int>{1, 12, 0, 0, 1, 0}));
        QList<int> data;
        for (int i = 0; i < 130; ++i)
            data << i + 256;
        QCOMPARE(bytes(MacroBlock::fromList(data)), pattern(128).prepend('\0').left(128));
        // A macro that reaches the block's last two bytes must end there: 00 00.
        const auto complete = [](const QList<int> &tail, int length) {
            return MacroBlock::isComplete(QList<int>(length - tail.size(), 7) + tail);
        };
        QCOMPARE((QList<bool>{complete({}, 126), complete({0, 0}, 127), complete({0, 0}, 128),
                              complete({5, 0}, 128), complete({0, 5}, 128), complete({0, 0}, 129)}),
                 (QList<bool>{true, true, true, false, false, false}));
    }

    // Colours take the low byte; a buffer that would run past either end of the block is not
    // written.
    void profileBlockBounds()
    {
        ProfileBlock::Block block;
        block.fill(0xAA);
        QList<int> colours{255, 263, -1};
        colours.resize(24);
        colours << 9; // past the 24 a block holds: left out
        ProfileBlock::writeStageColours(block, 104, LightingCodes::stageColours(colours));
        QCOMPARE(bytes(block).mid(104, 24), hex("ff07ff") + Bytes(21, '\0'));
        ProfileBlock::writeStageColours(block, 0, LightingCodes::stageColours({7}));
        const Bytes before = bytes(block);
        for (int offset : {105, -1})
            ProfileBlock::writeStageColours(block, offset, LightingCodes::stageColours({1}));
        QCOMPARE(bytes(block), before);
        QCOMPARE(before.left(25), hex("07") + Bytes(23, '\0') + hex("aa"));
    }

    void sceneValues()
    {
        QCOMPARE(sceneInts({1, QStringLiteral("12"), 3.0, QStringLiteral("x"), QVariant(), -4}),
                 (QList<int>{1, 12, 3, 0, 0, -4}));
        // The caption of a stage the mouse reports: stages 1 to 7, and one for the rest.
        QList<int> captions;
        for (int stage : {0, 1, 7, 8, -1})
            captions << HidProtocol::dpiTextSlot(stage);
        QCOMPARE(captions, (QList<int>{7, 0, 6, 7, 7}));
    }
};

QTEST_APPLESS_MAIN(tst_DeviceCodes)
#include "tst_devicecodes.moc"
