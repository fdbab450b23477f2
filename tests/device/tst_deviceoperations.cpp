#include "bytes.h"
#include "linkrig.h"

#include <QRegularExpression>
#include <QTest>
#include <functional>
#include <memory>

using Bytes = QByteArray;
using Operations = std::function<void(DeviceOperations &)>;

namespace {
// A pattern per profile block, so that a patch shows where it landed.
Bytes blockPattern(int n)
{
    Bytes block(128, '\0');
    for (int i = 0; i < 128; ++i)
        block[i] = char((i * 7 + n * 31 + 1) & 0xFF);
    return block;
}

// The built-in key table; with `gunSwitch`, button 4 switches between three presets.
QList<int> defaultRecords(bool gunSwitch = false)
{
    QList<int> list{0, 0, 0xF0, 0, 0, 0, 0xF1, 0, 0, 0, 0xF2, 0, 0, 0,    0xF4, 0,
                    0, 0, 0xF3, 0, 5, 0, 1,    0, 5, 0, 2,    0, 0, 0xF0, 0x1E, 2};
    list += QList<int>(24, 0);
    list += {0xFF, 0, 1, 0, 0xFF, 0, 2, 0};
    if (gunSwitch)
        list.replace(12, 8), list.replace(14, 3);
    return list;
}

// The delivered firmware table.
const Bytes factoryFirmware = hex("0100f000 0100f100 0100f200 0100f400 0100f300 01000000 "
                                  "0af01e02 0af01e02 07000200 07000100 01000000 01000000 "
                                  "01000000 01000000 04000100 04000200");

QList<int> ints(const Bytes &bytes)
{
    QList<int> list;
    for (char byte : bytes)
        list << uchar(byte);
    return list;
}
} // namespace

// The driver of `flags` over a confirmed mouse; the reads of `unread` blocks get no reply.
struct OperationsRig : LinkRig
{
    explicit OperationsRig(const QString &flags, const QString &unread = {})
        : LinkRig(flags.left(3).toInt(), true,
                  {flags.contains("colour"), flags.contains("gun"), flags.contains("55328")})
    {
        for (int n = 0; n < 5; ++n)
            mouse->setProfileBlock(n, blockPattern(n));
        QVERIFY(link.chkDeviceIsEnCode(0));
        for (uint n = 0; flags.startsWith("560") && n < 5; ++n) {
            if (unread.contains(QString::number(n)))
                mouse->setFault(VirtualMouse::Fault::DropReply);
            operations->readProfile(n);
        }
        mouse->clearRecord();
    }

    // The command reports without their checksum and trailing zeros.
    QString commands() const
    {
        QStringList list;
        for (const Bytes &c : mouse->commands())
            list << QString::fromLatin1(c.left(8).toHex(' ')).remove(QRegularExpression("( 00)+$"));
        return list.join(QLatin1String(", "));
    }
};

#define OPS(...) Operations([=](DeviceOperations &o) { o.__VA_ARGS__; })

class tst_DeviceOperations : public QObject
{
    Q_OBJECT

private slots:
    void commands()
    {
        QList<int> stage8(24, 0);
        stage8[22] = 7;
        // Slots 0 and 4 are no gun slots; the option negates the next.
        const Operations gunData = [](DeviceOperations &o) {
            for (int slot : {0, 4, -1})
                o.sendGunData(slot, {10, 20, 5});
            o.sendGunData(2, {10, 20, 5});
            o.setKeyboardOption(0, 0, 1, 0);
            o.sendGunData(3, {10, 20, 5});
            o.sendGunData(1, {10});
        };
        const Operations blocksAboveFour = [](DeviceOperations &o) {
            o.sendProfile(5);
            o.readProfile(5);
            o.sendProfile(4294967295u);
        };
        // Slot 4 plays macro 5; slot 12, or a full block without its end, is not sent.
        const Operations macros = [](DeviceOperations &o) {
            QTest::ignoreMessage(QtWarningMsg, "Macro block without its end refused");
            o.sendMacro(QList<int>(128, 7), 10);
            o.sendMacro({1, 2, 3}, 12);
            o.sendMacro({1, 2, 3}, 4);
        };
        // The firmware table, untranslated.
        const Bytes table = hex("0100f000 09080000 00000000") + factoryFirmware.mid(12);
        // Flags, operations, the command reports, the data of the output reports.
        const std::tuple<QString, Operations, QString, Bytes> rows[] = {
            {"553", OPS(setDpi(3, "3360", {400, 800, 1600, 3200, 6400, 100, 200, 300})),
             "00 11 03 08", hex("03070f8080808080").leftJustified(32, '\0')},
            {"560",
             OPS(setReportRate(2)),
             "00 03 01 02, 00 03 02 02, 00 03 03 02, 00 03 04 02",
             {}},
            {"560 colour gun", OPS(setCurrentDpi(4)), "00 04 01 04", {}},
            // Code 03H would be a report rate on family 560.
            {"560", OPS(setKeyboardOption(1, 2, 3, 4)), "00 01 01 02", {}},
            {"560", OPS(switchKeyMatrix(1)), "00 02 01", {}},
            {"553", OPS(setLighting(4, 1, 0)), "00 0d 02 02 02", {}},
            {"553 colour", OPS(setStageColours(2, {1, 2, 3})), "00 10 02 04, 00 10 02 04",
             hex("01020300").leftJustified(32, '\0').repeated(2)},
            {"553 55328", OPS(setStageColours(3, stage8)), "00 10 00 18",
             (Bytes(22, '\0') + hex("0700")).leftJustified(32, '\0')},
            {"553 colour gun",
             gunData,
             "00 83, 00 04 00 0a 14 05 01, 00 03 00 00 01, 00 83, 00 04 00 0a 14 fb 02, 00 83, "
             "00 04 00 0a",
             {}},
            {"560", OPS(sendGunData(1, {10, 20, 5})), "", {}}, // without guns
            {"560 colour gun", blocksAboveFour, "", {}},
            {"560", macros, "00 0f 05 80", hex("010203").leftJustified(128, '\0')},
            // Slots 5..9 carry records 8, 7, 7, 6, 5: the factory firmware table.
            {"560 colour gun", OPS(sendKeyMatrix(defaultRecords(), {}, {1, 2, 3})), "00 0d 01 80",
             factoryFirmware + Bytes(64, '\0')},
            {"560", OPS(resetKeyMatrices(ints(table))), "00 0d 02 80, 00 0d 03 80, 00 0d 04 80",
             (table + Bytes(64, '\0')).repeated(3)}};
        for (const auto &[flags, run, reports, written] : rows) {
            OperationsRig r(flags);
            run(*r.operations);
            QCOMPARE(r.commands(), reports);
            QVERIFY(r.operations->profileBlock(5).isEmpty());
            QCOMPARE(r.written(), written);
            QCOMPARE(r.mouse->protocolErrors(), QStringList());
        }
    }

    // Family 560 reads a block before it patches it; after the lost reads the mouse answers
    // again if `readable`. Patches as "blocks:offset:bytes" over the pattern.
    void profileBlocks()
    {
        const Operations effect = OPS(setLighting(5, 2, 4));
        const Operations colours = OPS(setStageColours(7, {10, 11, 12}));
        const QString all = "00 0c 01 80, 00 0c 02 80, 00 0c 03 80, 00 0c 04 80";
        const QString zeros(42, QLatin1Char('0'));
        // Flags, the blocks whose reads are lost, readable, operations, reports, patches.
        const std::tuple<QString, QString, bool, Operations, QString, QString> rows[] = {
            {"560 colour gun", "", true,
             OPS(setDpi(4, "3389", {400, 12800, 12799, 20000, 100, 100, 100, 13000})), all,
             "1234:82:8a8a0800ff90020202040800ff90020202040f"},
            // Colourful or plain effects, without guns.
            {"560 colour", "", true, effect, "00 0c 01 80", "1234:71:05ff05"},
            {"560", "", true, OPS(setLighting(4, 1, 0)), "00 0c 01 80",
             "234:71:020202 1:71:020203"},
            {"560 colour gun", "", true, colours, "00 0c 00 80", "0:24:0a0b0c" + zeros},
            {"560 gun", "", true, colours, "00 0c 01 80", "1:104:0a0b0c" + zeros},
            // Gun slot 2 lives in block 3; its byte 65 (25 in the pattern) drops bit 2.
            {"560 colour gun", "3", true, OPS(sendGunData(2, {300, -3, 5, 99})),
             "00 8c 03, 00 0c 03 80", "3:65:21 3:78:f02cfd05"},
            {"560 colour gun", "2", true, OPS(sendProfile(2)), "00 8c 02, 00 0c 02 80", ""},
            // An unreadable block; an unreadable gun block.
            {"560 colour", "1", false, effect, "00 8c 01", "1234:71:05ff05"},
            {"560 colour gun", "3", false, effect,
             "00 8c 03, 00 0c 01 80, 00 0c 02 80, 00 0c 04 80", "1234:71:05ff05"}};
        for (const auto &[flags, unread, readable, run, reports, patches] : rows) {
            OperationsRig r(flags, unread);
            QList<Bytes> expected;
            for (int n = 0; n < 5; ++n)
                expected << blockPattern(n);
            r.mouse->setAnswering(readable);
            if (!readable)
                QTest::ignoreMessage(QtWarningMsg, "cmd Failed 0C");
            const quint64 failures = r.operations->failures();
            run(*r.operations);

            QCOMPARE(r.commands(), reports);
            for (const QString &patch : patches.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                const QStringList part = patch.split(QLatin1Char(':'));
                const Bytes bytes = Bytes::fromHex(part.at(2).toLatin1());
                for (QChar n : part.at(0))
                    expected[n.digitValue()].replace(part.at(1).toInt(), bytes.size(), bytes);
            }
            // The driver keeps its patches; the mouse never gets a block not read.
            for (int n = 0; n < 5; ++n) {
                if (readable || !unread.contains(QString::number(n)))
                    QCOMPARE(r.operations->profileBlock(n), expected.at(n));
                const bool sent = reports.contains(QStringLiteral("00 0c 0%1").arg(n));
                QCOMPARE(r.mouse->state().profiles.at(n), sent ? expected.at(n) : blockPattern(n));
            }
            // A block refused for want of its read counts as a failure.
            QCOMPARE(r.operations->failures() != failures, !readable);
        }
    }

    // A block the mouse did not take is read again: its refused patch does not go out later.
    void refusedBlockIsReadAgain()
    {
        OperationsRig r("560 colour");
        r.mouse->setFault(VirtualMouse::Fault::Silent);
        r.operations->setLighting(5, 2, 4);
        r.mouse->setFault(VirtualMouse::Fault::None);
        r.mouse->clearRecord();
        r.operations->setDpi(3, "3360", {400, 800, 1600});
        Bytes expected = blockPattern(1);
        expected.replace(84, 17, Bytes::fromHex("03070fffffffffff03070fffffffffff07"));
        QCOMPARE(r.commands(), QStringLiteral("00 8c 01, 00 0c 01 80"));
        QCOMPARE(r.mouse->state().profiles.at(1), expected);
    }

    // Family 560 has two option bytes; a stage out of range, or no answer, is no stage.
    void queries()
    {
        for (int family : {553, 560}) {
            OperationsRig r(QString::number(family));
            r.operations->setKeyboardOption(0x11, 0x22, 0x33, 0x44);
            if (family == 560)
                r.operations->switchKeyMatrix(3);
            r.mouse->pressDpiButton(5);
            QCOMPARE(bytes(r.operations->keyboardOption()),
                     family == 560 ? hex("11220000") : hex("11223344"));
            QCOMPARE(r.operations->currentDpi(), 5);
            r.mouse->clearRecord();
            // Once on the working profile, a mouse is only asked.
            QVERIFY(r.operations->selectWorkingProfile() && r.operations->selectWorkingProfile());
            QCOMPARE(r.commands(), family == 560 ? "00 82, 00 02 01, 00 82" : "");
            r.mouse->pressDpiButton(9);
            QTest::ignoreMessage(QtWarningMsg, "DPI stage 9 ignored");
            QCOMPARE(r.operations->currentDpi(), 0);
            r.mouse->setAnswering(false);
            const quint64 failures = r.operations->failures();
            QTest::failOnWarning(QRegularExpression("DPI stage")); // the failure has said so
            QCOMPARE(r.operations->currentDpi(), 0);               // not the query's preset
            QCOMPARE(r.operations->selectWorkingProfile(), family == 553);
            QCOMPARE(r.operations->failures(), failures + (family == 560 ? 2 : 1));
        }
    }

    // A gun switch's mask goes to block 0 (31 for three presets; the mouse has 15), and
    // stays the driver's also when the mouse goes during the first matrix.
    void gunSwitch()
    {
        for (int unplugAfter : {0, 7}) {
            OperationsRig r("560 colour gun");
            if (unplugAfter)
                r.mouse->unplugAfterReports(unplugAfter);
            r.operations->sendKeyMatrix(defaultRecords(true), ints(factoryFirmware), {150, 200});
            QCOMPARE(r.commands(), unplugAfter ? "00 0c 00 80, 00 0d 01 80"
                                               : "00 0c 00 80, 00 0d 01 80, 00 0d 02 80, "
                                                 "00 0d 03 80, 00 0d 04 80, 00 02 01");
            QCOMPARE(int(r.mouse->state().profiles.at(0).at(2)), 31);
            QCOMPARE(int(r.operations->profileBlock(0).at(2)), 31);
        }
    }
};

QTEST_GUILESS_MAIN(tst_DeviceOperations)
#include "tst_deviceoperations.moc"
