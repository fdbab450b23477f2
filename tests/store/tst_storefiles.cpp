// The small data files: gun presets, name lists, button records, the device
// table, and the copy that replaces a file whole.
#include "devicetablefile.h"
#include "filereplace.h"
#include "gundatafile.h"
#include "keymatrixstore.h"
#include "namelistfile.h"
#include "profilegunkeys.h"
#include "profilestore.h"
#include "settingsstore.h"
#include "storepaths.h"
#include "testdatafolder.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTest>
#include <functional>

using Edit = std::function<void()>;
Q_DECLARE_METATYPE(Edit)

namespace {
const char gunFile[] = "modules/gun/gunData.bin";
const char nameFile[] = "modules/setting/name.bin";

QVariantList texts(const QString &list)
{
    QVariantList values;
    for (const QString &value : list.split(QStringLiteral(", "), Qt::SkipEmptyParts))
        values.append(value);
    return values;
}

QVariantList numbers(int count, int first)
{
    QVariantList values;
    for (int i = 0; i < count; ++i)
        values.append(first + i);
    return values;
}

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
    void gunData_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QByteArray>("file"); // none: the file stays missing
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariantList>("record");
        QTest::addColumn<QStringList>("keys");
        QFile delivered(TestDataFolder::factoryModules() + "/gun/gunData.bin");
        QVERIFY(delivered.open(QIODevice::ReadOnly));
        const QByteArray factory = delivered.readAll();
        const QStringList six{"0", "1", "2", "3", "4", "5"};
        const auto row = [&](const char *name, const char *from, const char *to, const char *key,
                             const char *record, QStringList keys, const Edit &edit) {
            QTest::newRow(name) << edit << QByteArray(factory).replace(from, to) << key
                                << texts(record) << keys;
        };
        // Records by list position; values past the sixth are dropped.
        row("save", "2=M16A4, L-Click, 9, 0, 8", "2=SCAR-L, L-Click, 10, 0, 10", "2",
            "SCAR-L, L-Click, 10, 0, 10, 0", six, [] {
                GunDataFile().saveRecord("2", {"SCAR-L", "L-Click", 10, 0, 10, 0, "x", 99});
            });
        // Type 1 stores the record without its name under the new name.
        row("rename", "Thomson, L-Click, 10, 0, 10, 0\n",
            "Thomson, L-Click, 10, 0, 10, 0\nAK=L-Click, 12, 0, 8, 3\n", "AK",
            "L-Click, 12, 0, 8, 3", six + QStringList{"AK"}, [] {
                GunDataFile().modify(1, {"AKM", "L-Click", 9, 0, 7, 0, "AKM-old"});
                GunDataFile().modify(1, {"AK", "L-Click", 12, 0, 8, 3, "AKM"});
            });
        row("delete", "3=SCAR-L, L-Click, 10, 0, 10, 0\n", "", "3", "", {"0", "1", "2", "4", "5"},
            [] { GunDataFile().modify(0, {"3"}); });
        row("other types, short records, empty names", "\n", "\n", "1", "AKM, L-Click, 9, 0, 7, 0",
            six, [] {
                GunDataFile guns;
                guns.modify(5, {"AKM", "x", 1, 1, 1, 1, "1"});
                guns.modify(-1, {"1"});
                guns.saveRecord("1", {"M4", "L-Click", 9, 0, 5});
                guns.modify(1, {"M4", "L-Click", 9, 0, 5, "AKM"});
                guns.modify(1, {"M4"});
                guns.modify(0, {});
                for (const QString &name :
                     {QString(), QStringLiteral("/"), QStringLiteral("\\/")}) {
                    guns.modify(0, {name});
                    guns.modify(1, {"AK", "L-Click", 12, 0, 8, 3, name});
                    guns.modify(1, {name, "L-Click", 12, 0, 8, 3, "0"});
                    guns.saveRecord(name, {"AK", "L-Click", 12, 0, 8, 3});
                }
            });
        QTest::newRow("missing file is never created") << Edit([] {
            QFile::remove(gunFile);
            GunDataFile().saveRecord("0", {"M416", "L-Click", 9, 0, 5, 0});
            GunDataFile().modify(1, {"AK", "L-Click", 12, 0, 8, 3, "AKM"});
        }) << QByteArray() << "0" << QVariantList() << QStringList();
    }

    void gunData()
    {
        QFETCH(Edit, edit);
        QFETCH(QByteArray, file);
        QFETCH(QString, key);
        QFETCH(QVariantList, record);
        QFETCH(QStringList, keys);
        TestDataFolder folder;
        edit();
        QCOMPARE(folder.read(gunFile), file);
        QCOMPARE(QFile::exists(gunFile), !file.isEmpty());
        QCOMPARE(GunDataFile().record(key), record);
        QCOMPARE(GunDataFile().keys(), keys);
    }

    void gunKeysPerProfile()
    {
        TestDataFolder folder;
        {
            // p3.bin has no X/Y keys: the default is 4 as a number.
            folder.write("modules/setting/p3.bin", "[mouse]\nreportRate=3\n");
            SettingsStore settings;
            ProfileGunKeys keys(settings);
            QCOMPARE(keys.selectGun("0"), QVariant(QString()));
            keys.setSelectGun("0", 3);
            settings.setCurrentProfile(2);
            QCOMPARE(keys.selectGun("0"), QVariant(QString()));
            QCOMPARE(keys.xySensitive("0"), QVariant(4));
            keys.setXYSensitive("0", 7);
            QCOMPARE(keys.xySensitive("0"), QVariant(7));
            QCOMPARE(keys.xySensitive("1"), QVariant(4));
            settings.setCurrentProfile(1);
            QCOMPARE(keys.xySensitive("0"), QVariant("4"));
        }
        SettingsStore settings;
        ProfileGunKeys keys(settings);
        QCOMPARE(keys.selectGun("0"), QVariant("3"));
        settings.setCurrentProfile(2);
        QCOMPARE(keys.xySensitive("0"), QVariant("7"));
        // A reset brings the default profile's steps.
        ProfileStore(settings).resetProfile(2);
        QCOMPARE(keys.xySensitive("0"), QVariant("4"));
    }

    // Written by type (none: only read), read back, and the file after.
    void nameLists_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QVariant>("type");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QVariantList>("read");
        QTest::addColumn<QByteArray>("file");
        const auto row = [](const char *name, const QByteArray &before, const QVariant &type,
                            const QStringList &written, const QVariantList &read,
                            const QByteArray &file) {
            QTest::newRow(name) << before << type << written << read << file;
        };
        row("one macro gets the sentinel", {}, 0, {"Macro_0"}, texts("Macro_0, loaderbraxel"),
            "[macro]\nmacroName=Macro_0, loaderbraxel\n");
        row("profiles in order", {}, 2u, {"Standard0", "profile_13"},
            texts("Standard0, profile_13"), "[profile]\nprofileName=Standard0, profile_13\n");
        row("gun names", {}, "1", {"M416", "AKM"}, texts("M416, AKM"),
            "[gun]\ngunName=M416, AKM\n");
        row("gun selection", {}, 3, {"0", "1"}, texts("0, 1"), "[gun]\nselectGun=0, 1\n");
        row("commas, quotes and spaces", {}, 0, {"a,b", "say \"hi\"", " lead", "x=y"},
            {"a,b", "say \"hi\"", " lead", "x=y"},
            "[macro]\nmacroName=\"a,b\", say \\\"hi\\\", \" lead\", \"x=y\"\n");
        row("non-ASCII", {}, 0, {"宏一", "Überfall"}, {"宏一", "Überfall"},
            "[macro]\nmacroName=宏一, Überfall\n");
        row("one empty name", {}, 2, {""}, {"", "loaderbraxel"},
            "[profile]\nprofileName=, loaderbraxel\n");
        // Unknown types, or not a number, change nothing.
        for (const QVariant &type : {QVariant(4), QVariant(-1), QVariant("macro"), QVariant()})
            row(qPrintable("type " + type.toString()), {}, type, {"a", "b"}, {}, {});
        row("missing file", {}, 1, {"(read)"}, {}, {});
        // An empty list removes that list alone.
        const QByteArray both = "[macro]\nmacroName=M, loaderbraxel\n[profile]\nprofileName=P\n";
        row("empty list", both, 0, {}, {}, "[profile]\nprofileName=P\n");
        // A list stored without the sentinel comes back as a plain value.
        row("single value", both, 2, {"(read)"}, {}, both);
        row("escapes", "[macro]\nmacroName=\\x5b8f\\x4e00, \\xdc\\x62\\x65rfall\n", 0, {"(read)"},
            {"宏一", "Überfall"}, "[macro]\nmacroName=\\x5b8f\\x4e00, \\xdc\\x62\\x65rfall\n");
    }

    void nameLists()
    {
        QFETCH(QByteArray, before);
        QFETCH(QVariant, type);
        QFETCH(QStringList, written);
        QFETCH(QVariantList, read);
        QFETCH(QByteArray, file);
        TestDataFolder folder;
        if (!before.isEmpty())
            folder.write(nameFile, before);
        if (written != QStringList{"(read)"})
            NameListFile().update(type, written);
        // On disk when the call returns; nothing created to read.
        QCOMPARE(folder.read(nameFile), file);
        QCOMPARE(QFile::exists(nameFile), !file.isEmpty());
        QCOMPARE(NameListFile().read(type), read);
        for (const QVariant &name : NameListFile().read(type))
            QCOMPARE(name.typeId(), int(QMetaType::QString));
    }

    void keyMatrixRecords()
    {
        // In p3.bin: empty, one record and a half, one short, three too many.
        for (const auto &[count, line] : {std::pair{0, "15=0, 0, 0, 0\n"},
                                          {6, "1=104, 105, 0, 0\n"},
                                          {63, "15=160, 161, 162, 0\n"},
                                          {67, "15=160, 161, 162, 163\n"}}) {
            TestDataFolder folder;
            QMap<QString, QByteArray> before = folder.snapshot();
            {
                SettingsStore settings;
                settings.setCurrentProfile(2);
                KeyMatrixStore matrix(settings);
                matrix.storeRecords(numbers(count, 100));
                for (int k = 0; k < KeyMatrixStore::buttonCount; ++k) {
                    QVariantList expected;
                    for (int i = 4 * k; i < 4 * k + 4; ++i)
                        expected.append(i < count ? 100 + i : 0);
                    QCOMPARE(matrix.record(QString::number(k), false), expected);
                }
                QCOMPARE(matrix.record("5", true), texts("5, 0, 1, 0"));
                QCOMPARE(matrix.record("16", false) + matrix.record("16", true) +
                             matrix.record("", false),
                         QVariantList());
                settings.setCurrentProfile(0);
                QCOMPARE(matrix.record("5", false), texts("5, 0, 1, 0"));
            }
            QMap<QString, QByteArray> after = folder.snapshot();
            const QByteArray p3 = after.take("modules/setting/p3.bin");
            before.remove("modules/setting/p3.bin");
            QCOMPARE(after, before);
            // The firmware table is not touched.
            QVERIFY(p3.contains("[mouseKeyMatrix]\n") && p3.contains(line) && !p3.contains("164") &&
                    p3.contains("[mouseFwKeyMatrix]\n0=1, 0, 240, 0\n"));
        }
    }

    void deviceTable()
    {
        const QString missing = "-1 0 0 0 0 0 0 32 0 370524";
        // Hexadecimal texts; what is not one, or too big, gives 0.
        const std::pair<QByteArray, QStringList> rows[] = {
            {"[common]\ndeviceCount=4\n"
             "[0]\ntype=1\nvid=1209\npid=0001\nusagePage=ff00\nusage=ff02\nusagePage2=ff01\n"
             "usage2=ff03\nreportLength=64\nisEncode=true\nsCode=111111\n"
             "[1]\ntype=zz\nvid=12G4\npid=fffff\nusagePage=0xff0a\nusage=1\nisEncode=false\n"
             "sCode=1234\n[3]\ntype=0\n",
             {"1 1209 1 ff00 ff02 ff01 ff03 64 1 111111", "0 0 0 ff0a 1 0 0 32 0 1234", missing,
              "0 0 0 0 0 0 0 32 0 370524"}},
            {"[common]\ndeviceCount=100000\n", QStringList(DeviceTableFile::maxDevices, missing)},
            {"[0]\ntype=1\n", {}}, // no count
            {{}, {}}};             // no file
        for (const auto &[file, entries] : rows) {
            TestDataFolder folder(false);
            if (!file.isEmpty())
                folder.write("table.bin", file);
            QStringList read;
            for (const DeviceEntry &entry : DeviceTableFile::read("table.bin")) {
                read << describe(entry);
                QVERIFY(entry.interfacePath1.isEmpty() && entry.interfacePath2.isEmpty());
            }
            QCOMPARE(read, entries);
        }
    }

    void copyOver()
    {
        const struct
        {
            QString source;
            bool targetExists, replaced;
        } rows[] = {{"a.bin", true, true},
                    {"a.bin", false, true},
                    {"none.bin", true, false},
                    {".", true, false},
                    {"big.bin", true, false}}; // a source over 1 MiB
        for (const auto &[source, targetExists, replaced] : rows) {
            TestDataFolder folder(false);
            folder.write("a.bin", "new content\n");
            const QByteArray big(StorePaths::maxFileSize + 1, 'x');
            if (source == "big.bin")
                folder.write("big.bin", big);
            // Even a target stamped later than now is followed by a newer file.
            const QDateTime future = QDateTime::currentDateTime().addSecs(3600);
            if (targetExists) {
                folder.write("b.bin", "old\n");
                QFile target(folder.filePath("b.bin"));
                QVERIFY(target.open(QIODevice::ReadWrite));
                QVERIFY(target.setFileTime(future, QFileDevice::FileModificationTime));
            }
            QCOMPARE(FileReplace::copyOver(folder.filePath(source), folder.filePath("b.bin")),
                     replaced);
            // Only the two files: no temporary file is left behind.
            QMap<QString, QByteArray> files{{"a.bin", "new content\n"},
                                            {"b.bin", replaced ? "new content\n" : "old\n"}};
            if (source == "big.bin")
                files.insert("big.bin", big);
            QCOMPARE(folder.snapshot(), files);
            if (targetExists)
                QCOMPARE(QFileInfo(folder.filePath("b.bin")).lastModified() > future, replaced);
        }
    }
};

QTEST_GUILESS_MAIN(tst_StoreFiles)
#include "tst_storefiles.moc"
