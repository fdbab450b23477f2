// The udev rule, generated from the device table at build time, against what the program reads.
#include "devicetablefile.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
// "vvvv:pppp" of every line of the form (other lines as they are) that holds `only`.
QString ids(const QString &path, const char *pattern, const QString &only = {})
{
    QFile file(path);
    QStringList ids(file.open(QIODevice::ReadOnly) ? 0 : 1, "unreadable");
    for (QString line : QString::fromUtf8(file.readAll()).split('\n'))
        if (!(line = line.trimmed()).isEmpty() && !line.startsWith('#') && line.contains(only))
            ids << line.replace(QRegularExpression(pattern), "\\1:\\2").toLower();
    return ids.join(' ');
}
const char *const rule = R"re(^KERNEL=="hidraw\*", ATTRS\{idVendor\}=="([0-9a-f]{4})", )re"
                         R"re(ATTRS\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess"$)re";

// "vvvv:pppp" of the rows the program serves that name one device (a 0 would match any).
QString tableIds(const QString &tablePath)
{
    QStringList ids;
    for (const DeviceEntry &entry : DeviceTableFile::read(tablePath))
        if (entry.vid != 0 && entry.pid != 0)
            ids << QString::asprintf("%04x:%04x", entry.vid, entry.pid);
    ids.removeDuplicates();
    return ids.join(' ');
}
} // namespace

class tst_UdevRule : public QObject
{
    Q_OBJECT

private slots:
    // The shipped files, then rules generated from tables as INI text ('/' a line break).
    void rulesServeWhatTheProgramServes()
    {
        const QString table = tableIds(SKARN_SOURCE_DIR "/modules/setting/apConfig.bin");
        QCOMPARE(QStringList(
                     {ids(SKARN_UDEV_RULES, rule),
                      ids(SKARN_METAINFO, R"(^<modalias>usb:v(\w{4})p(\w{4})d\*</modalias>$)",
                          "<modalias>"),
                      ids(SKARN_METAINFO, "^$", "@") + ids(SKARN_METAINFO, "^$", ".example.org")})
                     .join('|'),
                 table + '|' + table + '|');
        QVERIFY(!ids(SKARN_METAINFO, "^$", "<release version=\"" SKARN_VERSION "\"").isEmpty());
        for (const QString table :
             {"[common]/deviceCount=3/[0]/vid=1209/pid=0001/[1]/vid=046D/pid=C08B",
              "[0]/vid=1209/pid=0001", // no count
              "[common]/deviceCount=4/[0]/vid=0000/pid=0001/[1]/vid=zz/pid=0001/[2]/vid=12090/"
              "pid=0001/[3]/vid=1209/pid=-1/[4]/vid=1209/pid=0005",
              "[common]/deviceCount=4/[0]/vid=4d9/pid= 1/[1]/vid=\"1209\"/pid=\"0002\"/[2]/"
              "vid=00001209/pid=0003/[3]/vid=1209/pid=2"}) {
            QTemporaryDir dir;
            QFile file(dir.filePath("apConfig.bin"));
            QVERIFY(file.open(QIODevice::WriteOnly) &&
                    file.write(QString(table).replace('/', '\n').toUtf8()) > 0);
            file.close();
            QCOMPARE(QProcess::execute(SKARN_CMAKE, {"-DTABLE=" + file.fileName(),
                                                     "-DRULES=" + dir.filePath("out.rules"), "-P",
                                                     SKARN_DEVICE_TABLE_SCRIPT}),
                     0);
            QVERIFY2(ids(dir.filePath("out.rules"), rule) == tableIds(file.fileName()),
                     qPrintable(table));
        }
    }
};

QTEST_GUILESS_MAIN(tst_UdevRule)
#include "tst_udevrule.moc"
