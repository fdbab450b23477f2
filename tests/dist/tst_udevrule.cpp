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
QString read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : "unreadable";
}

// "vvvv:pppp" of every rule line, or the first line of another form.
QString ruleIds(const QString &rules)
{
    static const QRegularExpression line(
        R"re(^KERNEL=="hidraw\*", ATTRS\{idVendor\}=="([0-9a-f]{4})", )re"
        R"re(ATTRS\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess"$)re");
    QStringList ids;
    for (QString text : rules.split('\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = line.match(text = text.trimmed());
        if (!text.isEmpty() && !text.startsWith('#'))
            ids << (match.hasMatch() ? match.captured(1) + ':' + match.captured(2) : text);
    }
    return ids.join(' ');
}

// "vvvv:pppp" of the rows the program would serve that name one device (0
// would make the program take any device; no rule may do that).
QString tableIds(const QString &tablePath)
{
    QStringList ids;
    for (const DeviceEntry &entry : DeviceTableFile::read(tablePath)) {
        const QString id = QStringLiteral("%1:%2")
                               .arg(entry.vid, 4, 16, QLatin1Char('0'))
                               .arg(entry.pid, 4, 16, QLatin1Char('0'));
        if (entry.vid != 0 && entry.pid != 0 && !ids.contains(id))
            ids << id;
    }
    return ids.join(' ');
}
} // namespace

class tst_UdevRule : public QObject
{
    Q_OBJECT

private slots:
    // The shipped rule and the metainfo's modaliases name the shipped
    // table's devices, the virtual mouse's first. Software centres follow
    // the metainfo's links: none may point at a placeholder domain, and the
    // version is the program's.
    void shippedRuleMatchesTheShippedTable()
    {
        const QString ids = tableIds(SKARN_SOURCE_DIR "/modules/setting/apConfig.bin");
        QVERIFY(ids.startsWith("1209:0001"));
        QVERIFY(QStringLiteral(SKARN_UDEV_RULES).endsWith("/70-skarn-config.rules"));
        QCOMPARE(ruleIds(read(SKARN_UDEV_RULES)), ids);
        const QString text = read(SKARN_METAINFO);
        QVERIFY2(!text.contains('@') && !text.contains(".example.org"), "placeholder left");
        QVERIFY(text.contains("<release version=\"" SKARN_VERSION "\""));
        static const QRegularExpression modalias("<modalias>usb:v(\\w{4})p(\\w{4})d\\*</modalias>");
        QStringList aliases;
        for (auto it = modalias.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            aliases << match.captured(1) + ':' + match.captured(2);
        }
        QCOMPARE(aliases.join(' ').toLower(), ids);
    }

    // The rows as "count|vid:pid,vid:pid..."; what the program serves of them
    // is checked where the table is read.
    void generatorReadsTablesAsTheProgramDoes_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("upper case") << QStringLiteral("2|1209:0001,046D:C08B");
        QTest::newRow("count beyond the sections") << QStringLiteral("3|1209:0001");
        QTest::newRow("rows past the count") << QStringLiteral("1|1209:0001,046d:c08b");
        QTest::newRow("zero, junk and too wide ids")
            << QStringLiteral("4|0000:0001,zz:0001,12090:0001,1209:-1");
        QTest::newRow("short, padded and quoted ids")
            << QStringLiteral("3|4d9: 1,\"1209\":\"0002\",00001209:0003");
        QTest::newRow("duplicates once") << QStringLiteral("2|1209:0001,1209:1");
        QTest::newRow("no count") << QStringLiteral("|1209:0001");
        QTest::newRow("count not a number") << QStringLiteral("two|1209:0001");
    }
    void generatorReadsTablesAsTheProgramDoes()
    {
        QFETCH(QString, table);
        const QString count = table.section('|', 0, 0);
        QString text = count.isEmpty() ? "" : "[common]\ndeviceCount=" + count + "\n";
        for (const QString &ids : table.section('|', 1).split(','))
            text += QStringLiteral("[%1]\nvid=%2\npid=%3\n")
                        .arg(text.count("vid="))
                        .arg(ids.section(':', 0, 0), ids.section(':', 1));
        QTemporaryDir dir;
        QFile file(dir.filePath("apConfig.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0);
        file.close();
        QProcess cmake;
        cmake.setProcessChannelMode(QProcess::MergedChannels);
        cmake.start(SKARN_CMAKE,
                    {"-DTABLE=" + file.fileName(), "-DRULES=" + dir.filePath("out.rules"), "-P",
                     SKARN_DEVICE_TABLE_SCRIPT});
        QVERIFY(cmake.waitForFinished(30000));
        QVERIFY2(cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0,
                 cmake.readAll().constData());
        QCOMPARE(ruleIds(read(dir.filePath("out.rules"))), tableIds(file.fileName()));
    }
};

QTEST_GUILESS_MAIN(tst_UdevRule)
#include "tst_udevrule.moc"
