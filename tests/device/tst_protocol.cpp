#include "protocol.h"

#include <QRandomGenerator>
#include <QTest>

class tst_Protocol : public QObject
{
    Q_OBJECT

private slots:
    void checksum_data();
    void checksum();
    void scrambleKnownReports_data();
    void scrambleKnownReports();
    void scrambleRoundTripsEveryPattern();
    void codeBytesZeroAndSevenTakeNoPart();
    void secrecyKeyNeedsSixCharacters();
    void dataReports_data();
    void dataReports();
    void dpiTextSlot_data();
    void dpiTextSlot();
};

using HidProtocol::CommandReport;

static QByteArray bytes(const CommandReport &r)
{
    return QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size()));
}

void tst_Protocol::checksum_data()
{
    QTest::addColumn<QByteArray>("seven");
    QTest::addColumn<int>("sum");
    QTest::newRow("01H rate 4") << QByteArray::fromHex("01040000000000") << 0xFA;
    QTest::newRow("8CH profile 3") << QByteArray::fromHex("8c030000000000") << 0x70;
    QTest::newRow("all zero") << QByteArray(7, '\0') << 0xFF;
    QTest::newRow("sum wraps") << QByteArray(7, '\xff') << 0x06;
}

void tst_Protocol::checksum()
{
    QFETCH(QByteArray, seven);
    QFETCH(int, sum);
    QCOMPARE(int(HidProtocol::checksum(reinterpret_cast<const uchar *>(seven.constData()))), sum);
}

void tst_Protocol::scrambleKnownReports_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QByteArray>("scrambled");
    // Worked out separately, rotating the eight bytes as one 64-bit number.
    QTest::newRow("01H rate 4") << bytes(HidProtocol::commandReport(0x01, {4}))
                                << QByteArray::fromHex("0046b4ce377f5df7d6");
    QTest::newRow("8CH profile 3") << bytes(HidProtocol::commandReport(0x8C, {3}))
                                   << QByteArray::fromHex("0046b09e37abb5f7d6");
}

void tst_Protocol::scrambleKnownReports()
{
    QFETCH(QByteArray, report);
    QFETCH(QByteArray, scrambled);
    uchar code[8] = {};
    QVERIFY(HidProtocol::secrecyKey(QStringLiteral("370524"), code));
    QByteArray b = report;
    HidProtocol::scramble(reinterpret_cast<uchar *>(b.data()) + 1, code);
    QCOMPARE(b.toHex(' '), scrambled.toHex(' '));
    HidProtocol::unscramble(reinterpret_cast<uchar *>(b.data()) + 1, code);
    QCOMPARE(b, report);
}

void tst_Protocol::scrambleRoundTripsEveryPattern()
{
    QRandomGenerator random(20261206);
    for (int round = 0; round < 20000; ++round) {
        uchar code[8];
        uchar block[8];
        for (int i = 0; i < 8; ++i) {
            code[i] = uchar(random.bounded(256));
            // Every value in every position, then random patterns.
            block[i] =
                round < 2048 ? uchar(round % 256 + i * (round / 256)) : uchar(random.bounded(256));
        }
        uchar work[8];
        std::copy_n(block, 8, work);
        HidProtocol::scramble(work, code);
        HidProtocol::unscramble(work, code);
        QVERIFY2(std::equal(block, block + 8, work), qPrintable(QString::number(round)));
    }
}

void tst_Protocol::codeBytesZeroAndSevenTakeNoPart()
{
    QRandomGenerator random(7);
    for (int round = 0; round < 2000; ++round) {
        uchar code[8];
        uchar block[8];
        for (int i = 0; i < 8; ++i) {
            code[i] = uchar(random.bounded(256));
            block[i] = uchar(random.bounded(256));
        }
        uchar other[8];
        std::copy_n(code, 8, other);
        other[0] = uchar(~code[0]);
        other[7] = uchar(code[7] + 1 + random.bounded(255));
        uchar a[8], b[8];
        std::copy_n(block, 8, a);
        std::copy_n(block, 8, b);
        HidProtocol::scramble(a, code);
        HidProtocol::scramble(b, other);
        QVERIFY(std::equal(a, a + 8, b));
        HidProtocol::unscramble(a, code);
        HidProtocol::unscramble(b, other);
        QVERIFY(std::equal(a, a + 8, b));
    }
    // Bytes 1 to 6 do take part.
    uchar code[8] = {0, 1, 2, 3, 4, 5, 6, 0};
    uchar other[8] = {0, 1, 2, 3, 4, 5, 7, 0};
    uchar a[8] = {}, b[8] = {};
    HidProtocol::scramble(a, code);
    HidProtocol::scramble(b, other);
    QVERIFY(!std::equal(a, a + 8, b));
}

void tst_Protocol::secrecyKeyNeedsSixCharacters()
{
    uchar key[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    QVERIFY(!HidProtocol::secrecyKey(QStringLiteral("12345"), key));
    QVERIFY(!HidProtocol::secrecyKey(QStringLiteral("1234567"), key));
    QCOMPARE(key[1], uchar(9));
    QVERIFY(HidProtocol::secrecyKey(QStringLiteral("370524"), key));
    QCOMPARE(QByteArray(reinterpret_cast<char *>(key), 8), QByteArray("\x09"
                                                                      "370524"
                                                                      "\x09"));
}

void tst_Protocol::dataReports_data()
{
    QTest::addColumn<int>("dataLength");
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<int>("reports");
    QTest::newRow("128 in 32") << 128 << 32 << 4;
    QTest::newRow("128 in 64") << 128 << 64 << 2;
    QTest::newRow("64 in 32") << 64 << 32 << 2;
    QTest::newRow("24 in 32") << 24 << 32 << 1;
    QTest::newRow("4 in 32") << 4 << 32 << 1;
    QTest::newRow("nothing") << 0 << 32 << 0;
    QTest::newRow("report length 0") << 8 << 0 << 0;
    QTest::newRow("report length negative") << 8 << -5 << 0;
    QTest::newRow("report length absurd") << 8 << 1000000 << 0;
}

void tst_Protocol::dataReports()
{
    QFETCH(int, dataLength);
    QFETCH(int, reportLength);
    QFETCH(int, reports);
    QByteArray data;
    for (int i = 0; i < dataLength; ++i)
        data.append(char(i + 1));
    const QList<QByteArray> out = HidProtocol::dataReports(data, reportLength);
    QCOMPARE(out.size(), reports);
    QByteArray joined;
    for (const QByteArray &report : out) {
        QCOMPARE(report.size(), reportLength + 1);
        QCOMPARE(report.at(0), '\0');
        joined += report.mid(1);
    }
    if (reports > 0) {
        QCOMPARE(joined.left(dataLength), data);
        QCOMPARE(joined.mid(dataLength), QByteArray(joined.size() - dataLength, '\0'));
    }
}

void tst_Protocol::dpiTextSlot_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("slot");
    QTest::newRow("0") << 0 << 7;
    QTest::newRow("1") << 1 << 0;
    QTest::newRow("3") << 3 << 2;
    QTest::newRow("7") << 7 << 6;
    QTest::newRow("8") << 8 << 7;
    QTest::newRow("9") << 9 << 7;
    QTest::newRow("255") << 255 << 7;
}

void tst_Protocol::dpiTextSlot()
{
    QFETCH(int, stage);
    QFETCH(int, slot);
    QCOMPARE(HidProtocol::dpiTextSlot(stage), slot);
}

QTEST_GUILESS_MAIN(tst_Protocol)
#include "tst_protocol.moc"
