#include "settingsstore.h"
#include "storepaths.h"
#include "testdatafolder.h"

#include <QSettings>
#include <QTest>
#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

class tst_SettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void readsFactoryValuesAsText();
    void profileWritesDoNotTouchTheDefaultProfile();
    void valuesComeBackAsTextAfterRestart();
    void listsRoundTrip_data();
    void listsRoundTrip();
    void singleValueIsNotAList();
    void currentProfileSelectsTheFile();
    void globalOperationsIgnoreTheCurrentProfile();
    void deviceFlagsAreReadOnceAtConstruction();
    void resetReplacesGlobalSettingsWithFactoryCopy();
    void resetWithoutFactoryCopyLeavesSettingsAlone();
    void resetKeepsOldContentWhenTargetCannotBeReplaced();
    void nonAsciiValuesSurviveRestart();
    void badFilesReadAsDefaults_data();
    void badFilesReadAsDefaults();
    void unwritableFolderKeepsValuesInMemory();
};

void tst_SettingsStore::readsFactoryValuesAsText()
{
    TestDataFolder folder;
    SettingsStore store;
    QCOMPARE(store.data("mouse/reportRate", false), QVariant(QStringLiteral("3")));
    QCOMPARE(store.data("mouse/reportRate", true), QVariant(QStringLiteral("3")));
    QCOMPARE(store.globalData("common/name"), QVariant(QStringLiteral("Skarn Config")));
    QVERIFY(!store.data("no/such", false).isValid());
    QVERIFY(!store.globalData("no/such").isValid());
    QCOMPARE(store.dataList("no/such", false), QVariantList());
}

void tst_SettingsStore::profileWritesDoNotTouchTheDefaultProfile()
{
    TestDataFolder folder;
    const QByteArray factory = folder.read("modules/setting/pD.bin");
    {
        SettingsStore store;
        store.setData("mouse/reportRate", 1);
        QCOMPARE(store.data("mouse/reportRate", false), QVariant(1));
        QCOMPARE(store.data("mouse/reportRate", true), QVariant(QStringLiteral("3")));
    }
    QCOMPARE(folder.read("modules/setting/pD.bin"), factory);
    QVERIFY(folder.read("modules/setting/p1.bin").contains("reportRate=1"));
}

void tst_SettingsStore::valuesComeBackAsTextAfterRestart()
{
    TestDataFolder folder;
    {
        SettingsStore store;
        store.setData("mouse/scrollRate", 5);
        store.setGlobalData("mouse/profileNo", 2);
        store.setData("mouse/flag", true);
        QCOMPARE(store.data("mouse/scrollRate", false).typeId(), int(QMetaType::Int));
    }
    SettingsStore store;
    QCOMPARE(store.data("mouse/scrollRate", false), QVariant(QStringLiteral("5")));
    QCOMPARE(store.globalData("mouse/profileNo"), QVariant(QStringLiteral("2")));
    QCOMPARE(store.data("mouse/flag", false), QVariant(QStringLiteral("true")));
}

void tst_SettingsStore::listsRoundTrip_data()
{
    QTest::addColumn<QVariantList>("written");
    QTest::addColumn<QVariantList>("sameRun");
    QTest::addColumn<QVariantList>("afterRestart");

    QTest::newRow("empty") << QVariantList() << QVariantList() << QVariantList();
    QTest::newRow("one item") << QVariantList{7} << QVariantList{7} << QVariantList{7};
    QTest::newRow("three numbers")
        << QVariantList{1, 2, 3} << QVariantList{1, 2, 3} << QVariantList{"1", "2", "3"};
    QTest::newRow("texts with commas")
        << QVariantList{"a,b", " c", "d=e"} << QVariantList{"a,b", " c", "d=e"}
        << QVariantList{"a,b", " c", "d=e"};
}

void tst_SettingsStore::listsRoundTrip()
{
    QFETCH(QVariantList, written);
    QFETCH(QVariantList, sameRun);
    QFETCH(QVariantList, afterRestart);

    TestDataFolder folder;
    {
        SettingsStore store;
        store.setDataList("test/list", written);
        QCOMPARE(store.dataList("test/list", false), sameRun);
    }
    SettingsStore store;
    QCOMPARE(store.dataList("test/list", false), afterRestart);
}

void tst_SettingsStore::singleValueIsNotAList()
{
    TestDataFolder folder;
    SettingsStore store;
    store.setData("test/value", 9);
    QCOMPARE(store.dataList("test/value", false), QVariantList());
    // Factory single values read from the file are not lists either.
    QCOMPARE(store.dataList("mouse/reportRate", true), QVariantList());
    // A factory list is.
    QCOMPARE(store.dataList("mouse/lightValue", true), (QVariantList{"0", "0", "4"}));
}

void tst_SettingsStore::currentProfileSelectsTheFile()
{
    TestDataFolder folder;
    {
        SettingsStore store;
        store.setCurrentProfile(2);
        QCOMPARE(store.currentProfile(), 2);
        store.setData("mouse/reportRate", 0);
        store.setCurrentProfile(0);
        QCOMPARE(store.data("mouse/reportRate", false), QVariant(QStringLiteral("3")));
        store.setCurrentProfile(2);
        QCOMPARE(store.data("mouse/reportRate", false), QVariant(0));
        // Out of range: the current profile stays.
        store.setCurrentProfile(10);
        store.setCurrentProfile(-1);
        QCOMPARE(store.currentProfile(), 2);
    }
    QVERIFY(folder.read("modules/setting/p3.bin").contains("reportRate=0"));
    QVERIFY(folder.read("modules/setting/p1.bin").contains("reportRate=3"));
}

void tst_SettingsStore::globalOperationsIgnoreTheCurrentProfile()
{
    TestDataFolder folder;
    SettingsStore store;
    store.setCurrentProfile(4);
    store.setGlobalData("mouse/profileNo", 4);
    QCOMPARE(store.globalData("mouse/profileNo"), QVariant(4));
    QVERIFY(!store.data("mouse/profileNo", false).isValid());
}

void tst_SettingsStore::deviceFlagsAreReadOnceAtConstruction()
{
    TestDataFolder folder;
    SettingsStore store;
    QCOMPARE(store.deviceFlags().isColorful, true);
    QCOMPARE(store.deviceFlags().isGun, true);
    QCOMPARE(store.deviceFlags().icType, QStringLiteral("553"));
    QCOMPARE(store.deviceFlags().is55328, false);

    store.setGlobalData("mouse/icType", "560");
    store.setGlobalData("mouse/isGun", false);
    QCOMPARE(store.deviceFlags().icType, QStringLiteral("553"));
    QCOMPARE(store.deviceFlags().isGun, true);
}

void tst_SettingsStore::resetReplacesGlobalSettingsWithFactoryCopy()
{
    TestDataFolder folder;
    const QByteArray factory = folder.read("modules/setting/apConfigD.bin");
    SettingsStore store;
    store.setGlobalData("mouse/profileNo", 5);
    store.setGlobalData("user/extra", "x");
    store.setGlobalData("mouse/icType", "560");
    QVERIFY(store.resetGlobalSettings());

    QCOMPARE(store.globalData("mouse/profileNo"), QVariant(QStringLiteral("0")));
    QVERIFY(!store.globalData("user/extra").isValid());
    QCOMPARE(store.deviceFlags().icType, QStringLiteral("553"));

    // The released object must not write its old values into the new file.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    store.sync();
    QCOMPARE(folder.read("modules/setting/apConfig.bin"), factory);
    QCOMPARE(folder.read("modules/setting/apConfigD.bin"), factory);
}

void tst_SettingsStore::resetWithoutFactoryCopyLeavesSettingsAlone()
{
    TestDataFolder folder;
    QVERIFY(QFile::remove(folder.filePath("modules/setting/apConfigD.bin")));
    SettingsStore store;
    store.setGlobalData("mouse/profileNo", 5);
    QVERIFY(!store.resetGlobalSettings());
    QCOMPARE(store.globalData("mouse/profileNo"), QVariant(5));
    QCOMPARE(store.globalData("common/name"), QVariant(QStringLiteral("Skarn Config")));
    QVERIFY(folder.read("modules/setting/apConfig.bin").contains("profileNo=5"));
}

void tst_SettingsStore::resetKeepsOldContentWhenTargetCannotBeReplaced()
{
    TestDataFolder folder;
    // A folder in place of the file cannot be renamed over, even by root.
    QVERIFY(QFile::remove(folder.filePath("modules/setting/apConfig.bin")));
    QVERIFY(QDir(folder.path()).mkpath("modules/setting/apConfig.bin"));
    SettingsStore store;
    QVERIFY(!store.resetGlobalSettings());
    QVERIFY(QFileInfo(folder.filePath("modules/setting/apConfig.bin")).isDir());
    QCOMPARE(store.globalData("common/name"), QVariant());
}

void tst_SettingsStore::nonAsciiValuesSurviveRestart()
{
    TestDataFolder folder;
    const QString name = QStringLiteral("宏 Überfall");
    {
        SettingsStore store;
        store.setData("mouseMacroKey/3", name);
    }
    const QByteArray raw = folder.read("modules/setting/p1.bin");
    SettingsStore store;
    QCOMPARE(store.data("mouseMacroKey/3", false).toString(), name);
    QVERIFY(raw.contains("[mouseMacroKey]"));
}

void tst_SettingsStore::badFilesReadAsDefaults_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("present");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("garbage") << QByteArray("\x00\xff\x01[[[=\n=\n\x7f\x80 ===", 17) << true;
    QTest::newRow("keys without values") << QByteArray("[mouse]\nisGun\nicType\n[[\n") << true;
}

void tst_SettingsStore::badFilesReadAsDefaults()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, present);

    TestDataFolder folder;
    for (const QString &file : {StorePaths::globalSettings, StorePaths::profile(0)}) {
        QFile::remove(folder.filePath(file));
        if (present)
            folder.write(file, content);
    }
    SettingsStore store;
    QCOMPARE(store.deviceFlags().isGun, false);
    QCOMPARE(store.deviceFlags().icType, QString());
    QVERIFY(!store.data("mouse/reportRate", false).isValid());
    QCOMPARE(store.dataList("mouse/dpiValueArray", false), QVariantList());
    // The default profile is untouched and still answers recovery reads.
    QCOMPARE(store.data("mouse/reportRate", true), QVariant(QStringLiteral("3")));
    store.setData("mouse/reportRate", 2);
    QCOMPARE(store.data("mouse/reportRate", false), QVariant(2));
}

void tst_SettingsStore::unwritableFolderKeepsValuesInMemory()
{
#ifdef Q_OS_UNIX
    if (::geteuid() == 0)
        QSKIP("root writes into read-only folders");
#endif
    TestDataFolder folder;
    const QString settingDir = folder.filePath("modules/setting");
    const QByteArray before = folder.read("modules/setting/p1.bin");
    QFile::setPermissions(settingDir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    {
        SettingsStore store;
        store.setData("mouse/reportRate", 0);
        store.sync();
        QCOMPARE(store.data("mouse/reportRate", false), QVariant(0));
    }
    QFile::setPermissions(settingDir,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(folder.read("modules/setting/p1.bin"), before);
}

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
