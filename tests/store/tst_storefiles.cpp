#include "devicetablefile.h"
#include "gundatafile.h"
#include "keymatrixstore.h"
#include "namelistfile.h"
#include "settingsstore.h"
#include "testdatafolder.h"

#include <QDir>
#include <QTest>
#include <functional>

using Edit = std::function<void()>;

namespace {
const char gunFile[] = "modules/gun/gunData.bin";
const char nameFile[] = "modules/setting/name.bin";

QString describe(const DeviceEntry &e)
{
    return QString::asprintf("%d %x %x %x %x %x %x %d %d ", e.type, e.vid, e.pid, e.usagePage,
                             e.usage, e.usagePage2, e.usage2, e.reportLength, int(e.isEncode)) +
           e.sCode;
}
} // namespace

class tst_StoreFiles : public QObject
{
    Q_OBJECT

private slots:
    // Saved and renamed in the view's tests; here a delete, no-ops, a file never created.
    void gunData()
    {
        const QStringList six{"0", "1", "2", "3", "4", "5"};
        const std::pair<Edit, QStringList> rows[] = {
            {[] { GunDataFile(QDir::currentPath()).modify(0, {"3"}); }, {"0", "1", "2", "4", "5"}},
            {[] {
                 GunDataFile guns(QDir::currentPath());
                 guns.modify(5, {"AKM", "x", 1, 1, 1, 1, "1"});
                 guns.modify(-1, {"1"});
                 guns.saveRecord("1", {"M4", "L-Click", 9, 0, 5});
                 guns.modify(1, {"M4", "L-Click", 9, 0, 5, "AKM"});
                 guns.modify(1, {"M4"});
                 guns.modify(0, {});
                 for (const QString &name : {QString(), QString("/"), QString("\\/")}) {
                     guns.modify(0, {name});
                     guns.modify(1, {"AK", "L-Click", 12, 0, 8, 3, name});
                     guns.modify(1, {name, "L-Click", 12, 0, 8, 3, "0"});
                     guns.saveRecord(name, {"AK", "L-Click", 12, 0, 8, 3});
                 }
             },
             six},
            {[] {
                 QFile::remove(gunFile);
                 GunDataFile(QDir::currentPath()).saveRecord("0", {"M416", "L-Click", 9, 0, 5, 0});
                 GunDataFile(QDir::currentPath()).modify(1, {"AK", "L-Click", 12, 0, 8, 3, "AKM"});
             },
             {}}};
        for (const auto &[edit, keys] : rows) {
            TestDataFolder folder;
            const QByteArray delivered = folder.read(gunFile);
            edit();
            QCOMPARE(GunDataFile(QDir::currentPath()).keys(), keys);
            QCOMPARE(QFile::exists(gunFile), !keys.isEmpty());
            if (keys == six)
                QCOMPARE(folder.read(gunFile), delivered);
        }
    }

    // Written by type (none: only read), read back, and the file after.
    void nameLists()
    {
        const QByteArray both = "[macro]\nmacroName=M, loaderbraxel\n[profile]\nprofileName=P\n";
        const std::tuple<QByteArray, QVariant, QStringList, QVariantList, QByteArray> rows[] = {
            {{}, 0, {"M"}, {"M", "loaderbraxel"}, "[macro]\nmacroName=M, loaderbraxel\n"},
            {{}, "1", {"M416", "AKM"}, {"M416", "AKM"}, "[gun]\ngunName=M416, AKM\n"},
            {{}, 3u, {"0", "1"}, {"0", "1"}, "[gun]\nselectGun=0, 1\n"},
            {{},
             0,
             {"a,b", "say \"hi\"", " lead", "x=y"},
             {"a,b", "say \"hi\"", " lead", "x=y"},
             "[macro]\nmacroName=\"a,b\", say \\\"hi\\\", \" lead\", \"x=y\"\n"},
            {{}, 2, {""}, {"", "loaderbraxel"}, "[profile]\nprofileName=, loaderbraxel\n"},
            // Unknown types, or not a number, change nothing.
            {{}, 4, {"a"}, {}, {}},
            {{}, "macro", {"a"}, {}, {}},
            {{}, 1, {"(read)"}, {}, {}},                     // missing file
            {both, 0, {}, {}, "[profile]\nprofileName=P\n"}, // an empty list removes that list
            {both, 2, {"(read)"}, {}, both}, // stored without the sentinel: a plain value
            // A list stored as it stands is not written again (the comment would go).
            {"; kept\n" + both, 0, {"M"}, {"M", "loaderbraxel"}, "; kept\n" + both},
            // Text that is not settings (edited by hand) is written over, and that is no failure.
            {"hello", 2, {"P"}, {"P", "loaderbraxel"}, "[profile]\nprofileName=P, loaderbraxel\n"}};
        for (const auto &[before, type, written, read, file] : rows) {
            TestDataFolder folder;
            if (!before.isEmpty())
                folder.write(nameFile, before);
            if (written != QStringList{"(read)"})
                QVERIFY(NameListFile(QDir::currentPath()).update(type, written));
            // On disk when the call returns; nothing created to read.
            QCOMPARE(folder.read(nameFile), file);
            QCOMPARE(QFile::exists(nameFile), !file.isEmpty());
            QCOMPARE(NameListFile(QDir::currentPath()).read(type), read);
            for (const QVariant &name : NameListFile(QDir::currentPath()).read(type))
                QCOMPARE(name.typeId(), int(QMetaType::QString));
        }
    }

    void keyMatrixRecords()
    {
        // In p3.bin: one record and a half, three too many.
        for (const auto &[count, line] :
             {std::pair{6, "1=104, 105, 0, 0\n"}, {67, "15=160, 161, 162, 163\n"}}) {
            TestDataFolder folder;
            QMap<QString, QByteArray> before = folder.snapshot();
            SettingsStore settings(QDir::currentPath());
            settings.setCurrentProfile(2);
            KeyMatrixStore matrix(settings);
            QVariantList records;
            for (int i = 0; i < count; ++i)
                records << 100 + i;
            matrix.storeRecords(records);
            QCOMPARE(matrix.record("15", false).value(3), QVariant(count > 63 ? 163 : 0));
            QCOMPARE(matrix.record("16", false) + matrix.record("", false), QVariantList());
            settings.sync();
            QMap<QString, QByteArray> after = folder.snapshot();
            const QByteArray p3 = after.take("modules/setting/p3.bin");
            before.remove("modules/setting/p3.bin");
            QCOMPARE(after, before);
            // The firmware table is not touched.
            QVERIFY(p3.contains(line) && !p3.contains("164") &&
                    p3.contains("[mouseFwKeyMatrix]\n0=1, 0, 240, 0\n"));
        }
    }

    void deviceTable()
    {
        // Hexadecimal texts; what is not one, or too big, gives 0.
        const QString missing = "-1 0 0 0 0 0 0 32 0 370524";
        const std::pair<QByteArray, QStringList> rows[] = {
            {"[common]\ndeviceCount=3\n"
             "[0]\ntype=1\nvid=1209\npid=0001\nusagePage=ff00\nusage=ff02\nusagePage2=ff01\n"
             "usage2=ff03\nreportLength=64\nisEncode=true\nsCode=111111\n"
             "[1]\ntype=zz\nvid=12G4\npid=fffff\nusagePage=0xff0a\nusage=1\nisEncode=false\n"
             "sCode=1234\n",
             {"1 1209 1 ff00 ff02 ff01 ff03 64 1 111111", "0 0 0 ff0a 1 0 0 32 0 1234", missing}},
            {"[common]\ndeviceCount=100000\n", QStringList(DeviceTableFile::maxDevices, missing)}};
        for (const auto &[file, entries] : rows) {
            const TestDataFolder folder(false);
            folder.write("table.bin", file);
            QStringList read;
            for (const DeviceEntry &entry : DeviceTableFile::read("table.bin"))
                read << describe(entry);
            QCOMPARE(read, entries);
        }
    }
};

QTEST_GUILESS_MAIN(tst_StoreFiles)
#include "tst_storefiles.moc"
