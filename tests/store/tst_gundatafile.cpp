#include "gundatafile.h"
#include "profilegunkeys.h"
#include "profilestore.h"
#include "settingsstore.h"
#include "testdatafolder.h"

#include <QFile>
#include <QTest>

namespace {
const char gunFile[] = "modules/gun/gunData.bin";

QVariantList texts(const QStringList &values)
{
    QVariantList list;
    for (const QString &value : values)
        list.append(value);
    return list;
}
} // namespace

class tst_GunDataFile : public QObject
{
    Q_OBJECT

private slots:
    void recordsByPosition();
    void renameAndDelete();
    void shortRecordsStoreNothing_data();
    void shortRecordsStoreNothing();
    void emptyNamesNeverAddressTheGroup();
    void missingFileIsNeverCreated();
    void keysPerProfile();
};

void tst_GunDataFile::recordsByPosition()
{
    TestDataFolder folder;
    QCOMPARE(GunDataFile().keys(), (QStringList{"0", "1", "2", "3", "4", "5"}));
    QCOMPARE(GunDataFile().record("0"), texts({"M416", "L-Click", "9", "0", "5", "0"}));
    QCOMPARE(GunDataFile().record("7"), QVariantList());
    const QVariantList record{"SCAR-L", "L-Click", 10, 0, 10, 0};
    GunDataFile().saveRecord("2", record + QVariantList{"ignored", 99});
    QVERIFY(folder.read(gunFile).contains("2=SCAR-L, L-Click, 10, 0, 10, 0\n"));
    QVERIFY(!folder.read(gunFile).contains("ignored"));
    QCOMPARE(GunDataFile().record("2"), texts({"SCAR-L", "L-Click", "10", "0", "10", "0"}));
    QCOMPARE(GunDataFile().record("1"), texts({"AKM", "L-Click", "9", "0", "7", "0"}));
}

void tst_GunDataFile::renameAndDelete()
{
    TestDataFolder folder;
    GunDataFile guns;
    const QVariantList before = guns.record("1");
    // Type 1 stores the record under its new name, without the name.
    guns.modify(1, {"AKM", "L-Click", 9, 0, 7, 0, "AKM-old"});
    guns.modify(1, {"AK", "L-Click", 12, 0, 8, 3, "AKM"});
    QCOMPARE(guns.record("AK"), texts({"L-Click", "12", "0", "8", "3"}));
    QCOMPARE(guns.record("AKM"), QVariantList());
    QCOMPARE(guns.record("1"), before);
    QCOMPARE(guns.keys(), (QStringList{"0", "1", "2", "3", "4", "5", "AK"}));
    // Other types change nothing; type 0 deletes.
    const QByteArray withAk = folder.read(gunFile);
    guns.modify(5, {"AK", "x", 1, 1, 1, 1, "AK"});
    guns.modify(-1, {"AK"});
    QCOMPARE(folder.read(gunFile), withAk);
    guns.modify(0, {"AK"});
    QCOMPARE(guns.record("AK"), QVariantList());
    guns.modify(0, {"3"});
    QCOMPARE(guns.keys(), (QStringList{"0", "1", "2", "4", "5"}));
}

void tst_GunDataFile::shortRecordsStoreNothing_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QVariantList>("values");
    QTest::newRow("save, five values") << -1 << QVariantList{"M4", "L-Click", 9, 0, 5};
    QTest::newRow("save, empty") << -1 << QVariantList{};
    QTest::newRow("rename, six values") << 1 << QVariantList{"M4", "L-Click", 9, 0, 5, "M416"};
    QTest::newRow("rename, name only") << 1 << QVariantList{"M4"};
    QTest::newRow("delete, empty") << 0 << QVariantList{};
}

void tst_GunDataFile::shortRecordsStoreNothing()
{
    QFETCH(int, operation);
    QFETCH(QVariantList, values);
    TestDataFolder folder;
    const QByteArray before = folder.read(gunFile);
    if (operation < 0)
        GunDataFile().saveRecord("0", values);
    else
        GunDataFile().modify(operation, values);
    QCOMPARE(folder.read(gunFile), before);
}

void tst_GunDataFile::emptyNamesNeverAddressTheGroup()
{
    TestDataFolder folder;
    const QByteArray before = folder.read(gunFile);
    GunDataFile guns;
    for (const QString &name : {QString(), QStringLiteral("/"), QStringLiteral("\\/")}) {
        guns.modify(0, {name});
        guns.modify(1, {"AK", "L-Click", 12, 0, 8, 3, name});
        guns.modify(1, {name, "L-Click", 12, 0, 8, 3, "0"});
        guns.saveRecord(name, {"AK", "L-Click", 12, 0, 8, 3});
        QCOMPARE(guns.record(name), QVariantList());
    }
    QCOMPARE(folder.read(gunFile), before);
}

void tst_GunDataFile::missingFileIsNeverCreated()
{
    TestDataFolder folder;
    QVERIFY(QFile::remove(folder.filePath(gunFile)));
    GunDataFile guns;
    QCOMPARE(guns.keys(), QStringList());
    QCOMPARE(guns.record("0"), QVariantList());
    guns.saveRecord("0", {"M416", "L-Click", 9, 0, 5, 0});
    guns.modify(1, {"AK", "L-Click", 12, 0, 8, 3, "AKM"});
    guns.modify(0, {"AK"});
    QVERIFY(!QFile::exists(folder.filePath(gunFile)));
}

void tst_GunDataFile::keysPerProfile()
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

QTEST_GUILESS_MAIN(tst_GunDataFile)
#include "tst_gundatafile.moc"
