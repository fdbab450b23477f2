// The udev rule is generated from the device table at build time; these
// checks hold it to what the program itself reads from the table.
#include "devicedetector.h"
#include "devicetablefile.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
// "vvvv:pppp" of every rule line; fails on a line of another form.
QStringList ruleIds(const QByteArray &rules)
{
    static const QRegularExpression line(
        QStringLiteral("^KERNEL==\"hidraw\\*\", ATTRS\\{idVendor\\}==\"([0-9a-f]{4})\", "
                       "ATTRS\\{idProduct\\}==\"([0-9a-f]{4})\", TAG\\+=\"uaccess\"$"));
    QStringList ids;
    for (const QByteArray &raw : rules.split('\n')) {
        const QString text = QString::fromUtf8(raw).trimmed();
        if (text.isEmpty() || text.startsWith('#'))
            continue;
        const QRegularExpressionMatch match = line.match(text);
        if (!match.hasMatch())
            return {"unexpected line: " + text};
        ids << match.captured(1) + ':' + match.captured(2);
    }
    return ids;
}

// "vvvv:pppp" of the rows the program would serve that name one device.
QStringList tableIds(const QString &tablePath)
{
    QStringList ids;
    for (const DeviceEntry &entry : DeviceTableFile::read(tablePath)) {
        // 0 would make the program take any device; no rule may do that.
        const QString id = QStringLiteral("%1:%2")
                               .arg(entry.vid, 4, 16, QLatin1Char('0'))
                               .arg(entry.pid, 4, 16, QLatin1Char('0'));
        if (entry.vid != 0 && entry.pid != 0 && !ids.contains(id))
            ids << id;
    }
    return ids;
}
} // namespace

class tst_UdevRule : public QObject
{
    Q_OBJECT

private slots:
    void shippedRuleMatchesTheShippedTable();
    void generatorReadsTablesAsTheProgramDoes_data();
    void generatorReadsTablesAsTheProgramDoes();
};

// The shipped rule and the metainfo's modaliases name the shipped table's
// devices, the virtual mouse's first. Software centres follow the
// metainfo's links: none may point at a placeholder domain, and the
// version is the program's.
void tst_UdevRule::shippedRuleMatchesTheShippedTable()
{
    const QStringList ids =
        tableIds(QStringLiteral(SKARN_SOURCE_DIR "/modules/setting/apConfig.bin"));
    QCOMPARE(ids.value(0), QStringLiteral("1209:0001"));
    QFile rules(QStringLiteral(SKARN_UDEV_RULES));
    QVERIFY(rules.fileName().endsWith("/70-skarn-config.rules") && rules.open(QIODevice::ReadOnly));
    QCOMPARE(ruleIds(rules.readAll()), ids);

    QFile metainfo(QStringLiteral(SKARN_METAINFO));
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(metainfo.readAll());
    QVERIFY2(!text.contains('@') && !text.contains(".example.org"), "placeholder left");
    QVERIFY(text.contains("<release version=\"" SKARN_VERSION "\""));
    static const QRegularExpression modalias(
        QStringLiteral("<modalias>usb:v([0-9A-F]{4})p([0-9A-F]{4})d\\*</modalias>"));
    QStringList aliases;
    for (auto it = modalias.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        aliases << (match.captured(1) + ':' + match.captured(2)).toLower();
    }
    QCOMPARE(aliases, ids);
}

void tst_UdevRule::generatorReadsTablesAsTheProgramDoes_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QStringList>("expected");
    const QByteArray two = "[common]\ndeviceCount=2\n";
    QTest::newRow("two devices, upper case")
        << two + "[0]\nvid=1209\npid=0001\n[1]\nvid=046D\npid=C08B\n"
        << QStringList{"1209:0001", "046d:c08b"};
    QTest::newRow("count beyond the sections")
        << QByteArray("[common]\ndeviceCount=3\n[0]\nvid=1209\npid=0001\n")
        << QStringList{"1209:0001"};
    QTest::newRow("rows past the count are not served")
        << QByteArray("[common]\ndeviceCount=1\n[0]\nvid=1209\npid=0001\n[1]\nvid=046d\npid=c08b\n")
        << QStringList{"1209:0001"};
    QTest::newRow("zero, junk and too wide ids get no rule")
        << QByteArray("[common]\ndeviceCount=4\n[0]\nvid=0000\npid=0001\n[1]\nvid=zz\npid=0001\n"
                      "[2]\nvid=12090\npid=0001\n[3]\nvid=1209\npid=-1\n")
        << QStringList{};
    QTest::newRow("short, padded and quoted ids")
        << QByteArray("[common]\ndeviceCount=3\n[0]\nvid=4d9\npid = 1\n[1]\nvid=\"1209\"\n"
                      "pid=\"0002\"\n[2]\nvid=00001209\npid=0003\n")
        << QStringList{"04d9:0001", "1209:0002", "1209:0003"};
    QTest::newRow("duplicate rows once") << two + "[0]\nvid=1209\npid=0001\n[1]\nvid=1209\npid=1\n"
                                         << QStringList{"1209:0001"};
    QTest::newRow("no count") << QByteArray("[0]\nvid=1209\npid=0001\n") << QStringList{};
    QTest::newRow("count not a number")
        << QByteArray("[common]\ndeviceCount=two\n[0]\nvid=1209\npid=0001\n") << QStringList{};
}

void tst_UdevRule::generatorReadsTablesAsTheProgramDoes()
{
    QFETCH(QByteArray, table);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QFile file(dir.filePath("apConfig.bin"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(table) == table.size());
    file.close();
    QProcess cmake;
    cmake.setProcessChannelMode(QProcess::MergedChannels);
    cmake.start(SKARN_CMAKE, {"-DTABLE=" + file.fileName(), "-DRULES=" + dir.filePath("out.rules"),
                              "-P", SKARN_DEVICE_TABLE_SCRIPT});
    QVERIFY(cmake.waitForFinished(30000));
    QVERIFY2(cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0,
             cmake.readAll().constData());
    QFile rules(dir.filePath("out.rules"));
    QVERIFY(rules.open(QIODevice::ReadOnly));
    const QStringList ids = ruleIds(rules.readAll());
    QCOMPARE(ids, expected);
    QCOMPARE(ids, tableIds(file.fileName()));
}

QTEST_GUILESS_MAIN(tst_UdevRule)
#include "tst_udevrule.moc"
