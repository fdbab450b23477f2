// The udev rule is generated from the device table at build time; these
// checks hold it to what the program itself reads from the table.
#include "devicedetector.h"
#include "devicetablefile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class tst_UdevRule : public QObject
{
    Q_OBJECT

private slots:
    void shippedRuleMatchesTheShippedTable();
    void metainfoNamesTheSameDevices();
    void generatorReadsTablesAsTheProgramDoes_data();
    void generatorReadsTablesAsTheProgramDoes();

private:
    // "vvvv:pppp" of every rule line; fails on a line of another form.
    static QStringList ruleIds(const QByteArray &rules);
    // "vvvv:pppp" of the rows the program would serve that name one device.
    static QStringList tableIds(const QString &tablePath);
    static bool generate(const QString &table, const QString &rules, QByteArray *log);
};

QStringList tst_UdevRule::ruleIds(const QByteArray &rules)
{
    static const QRegularExpression line(
        QStringLiteral("^KERNEL==\"hidraw\\*\", ATTRS\\{idVendor\\}==\"([0-9a-f]{4})\", "
                       "ATTRS\\{idProduct\\}==\"([0-9a-f]{4})\", TAG\\+=\"uaccess\"$"));
    QStringList ids;
    for (const QByteArray &raw : rules.split('\n')) {
        const QString text = QString::fromUtf8(raw).trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        const QRegularExpressionMatch match = line.match(text);
        if (!match.hasMatch())
            return {QStringLiteral("unexpected line: ") + text};
        ids << match.captured(1) + QLatin1Char(':') + match.captured(2);
    }
    return ids;
}

QStringList tst_UdevRule::tableIds(const QString &tablePath)
{
    QStringList ids;
    for (const DeviceEntry &entry : DeviceTableFile::read(tablePath)) {
        // 0 would make the program take any device; no rule may do that.
        if (entry.vid == 0 || entry.pid == 0)
            continue;
        const QString id = QStringLiteral("%1:%2")
                               .arg(entry.vid, 4, 16, QLatin1Char('0'))
                               .arg(entry.pid, 4, 16, QLatin1Char('0'));
        if (!ids.contains(id))
            ids << id;
    }
    return ids;
}

bool tst_UdevRule::generate(const QString &table, const QString &rules, QByteArray *log)
{
    QProcess cmake;
    cmake.setProcessChannelMode(QProcess::MergedChannels);
    cmake.start(QStringLiteral(SKARN_CMAKE),
                {"-DTABLE=" + table, "-DRULES=" + rules, "-P", SKARN_DEVICE_TABLE_SCRIPT});
    const bool finished = cmake.waitForFinished(30000);
    *log = cmake.readAll();
    return finished && cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0;
}

void tst_UdevRule::shippedRuleMatchesTheShippedTable()
{
    QFile rules(QStringLiteral(SKARN_UDEV_RULES));
    QVERIFY2(rules.open(QIODevice::ReadOnly), qPrintable(rules.fileName()));
    QVERIFY(rules.fileName().endsWith("/70-skarn-config.rules"));
    const QStringList ids = ruleIds(rules.readAll());
    QCOMPARE(ids, tableIds(QStringLiteral(SKARN_SOURCE_DIR "/modules/setting/apConfig.bin")));
    // The shipped table's first row is the virtual mouse's.
    QVERIFY(ids.contains(QStringLiteral("1209:0001")));
}

void tst_UdevRule::metainfoNamesTheSameDevices()
{
    QFile metainfo(QStringLiteral(SKARN_METAINFO));
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(metainfo.readAll());
    QVERIFY2(!text.contains(QLatin1Char('@')), "unreplaced placeholder");
    // Software centres follow its links: none may point at a placeholder
    // domain, and the version is the program's.
    QVERIFY2(!text.contains(QStringLiteral(".example.org")), "placeholder link");
    QVERIFY(text.contains(QStringLiteral("<release version=\"" SKARN_VERSION "\"")));
    static const QRegularExpression modalias(
        QStringLiteral("<modalias>usb:v([0-9A-F]{4})p([0-9A-F]{4})d\\*</modalias>"));
    QStringList ids;
    for (auto it = modalias.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        ids << (match.captured(1) + QLatin1Char(':') + match.captured(2)).toLower();
    }
    QCOMPARE(ids, tableIds(QStringLiteral(SKARN_SOURCE_DIR "/modules/setting/apConfig.bin")));
}

void tst_UdevRule::generatorReadsTablesAsTheProgramDoes_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("two devices, upper case")
        << QByteArray("[common]\ndeviceCount=2\n[0]\nvid=1209\npid=0001\n"
                      "[1]\nvid=046D\npid=C08B\n")
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
    QTest::newRow("duplicate rows once")
        << QByteArray("[common]\ndeviceCount=2\n[0]\nvid=1209\npid=0001\n[1]\nvid=1209\npid=1\n")
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
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(table);
    file.close();

    QByteArray log;
    QVERIFY2(generate(file.fileName(), dir.filePath("out.rules"), &log), log.constData());
    QFile rules(dir.filePath("out.rules"));
    QVERIFY(rules.open(QIODevice::ReadOnly));
    const QStringList ids = ruleIds(rules.readAll());
    QCOMPARE(ids, expected);
    QCOMPARE(ids, tableIds(file.fileName()));
}

QTEST_GUILESS_MAIN(tst_UdevRule)
#include "tst_udevrule.moc"
