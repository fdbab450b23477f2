#include "profilestore.h"
#include "scriptedfiledialogs.h"
#include "settingsstore.h"
#include "storepaths.h"
#include "testdatafolder.h"

#include <QDir>
#include <QPointer>
#include <QSettings>
#include <QTest>
#include <memory>

namespace {
const char reportRate[] = "mouse/reportRate";

// Lets the released settings objects go, as the next return to the event
// loop would.
void releaseDeferred()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString profileFile(int n)
{
    return StorePaths::profile(n).mid(2);
}
} // namespace

class tst_ProfileStore : public QObject
{
    Q_OBJECT

private slots:
    void resetGivesTheDefaultProfile();
    void replacedProfileIsReadAtOnce();
    void replaceKeepsListOrderAndCurrentProfile();
    void copyProfile_data();
    void copyProfile();
    void failedReplaceLeavesTheProfile_data();
    void failedReplaceLeavesTheProfile();
    void importTakesThePickedFile();
    void exportReplacesOnlyAFileTarget();
    void profileNumbersOutOfRangeChangeNothing();

private:
    QMap<QString, QByteArray> profileBytes(const TestDataFolder &folder) const;
};

QMap<QString, QByteArray> tst_ProfileStore::profileBytes(const TestDataFolder &folder) const
{
    QMap<QString, QByteArray> files;
    for (int n = 0; n < StorePaths::profileCount; ++n)
        files.insert(profileFile(n), folder.read(profileFile(n)));
    return files;
}

void tst_ProfileStore::resetGivesTheDefaultProfile()
{
    TestDataFolder folder;
    const QByteArray factory = folder.read("modules/setting/pD.bin");
    {
        SettingsStore store;
        store.setCurrentProfile(2);
        store.setData("user/extra", "x");
        store.sync();
        QPointer<QSettings> old = store.current();
        store.setData(reportRate, 0); // not yet written
        ProfileStore(store).resetProfile(2);
        QCOMPARE(store.data(reportRate, false), QVariant("3"));
        QVERIFY(!store.data("user/extra", false).isValid());
        // Pending writes never land in the replaced file; the old object is
        // released only on the way back to the event loop.
        QVERIFY(old);
        QVERIFY(store.current() != old.data());
        releaseDeferred();
        QVERIFY(!old);
        store.sync();
        QCOMPARE(folder.read("modules/setting/p3.bin"), factory);
        // The new object writes to the same file.
        store.setData(reportRate, 5);
    }
    QVERIFY(folder.read("modules/setting/p3.bin").contains("reportRate=5"));
    SettingsStore store;
    store.setCurrentProfile(2);
    QCOMPARE(store.data(reportRate, false), QVariant("5"));
}

void tst_ProfileStore::replacedProfileIsReadAtOnce()
{
    // The settings layer caches a file by size and modification time; a
    // replacement of equal size within the same millisecond must still be
    // read.
    TestDataFolder folder;
    SettingsStore store;
    ProfileStore profiles(store);
    for (int round = 0; round < 200; ++round) {
        store.setData(reportRate, round % 2 ? 1 : 7);
        store.sync();
        profiles.resetProfile(0);
        QCOMPARE(store.data(reportRate, false), QVariant("3"));
        releaseDeferred();
    }
}

void tst_ProfileStore::replaceKeepsListOrderAndCurrentProfile()
{
    TestDataFolder folder;
    SettingsStore store;
    store.setCurrentProfile(4);
    ProfileStore profiles(store);
    profiles.resetProfile(4);
    profiles.copyProfile(7, 1);
    releaseDeferred();
    QCOMPARE(store.currentProfile(), 4);
    QCOMPARE(store.current(), store.profile(4));
    for (int n = 0; n < StorePaths::profileCount; ++n) {
        QVERIFY2(store.profile(n)->fileName().endsWith(profileFile(n)),
                 qPrintable(store.profile(n)->fileName()));
    }
    store.setData(reportRate, 6);
    store.sync();
    QVERIFY(folder.read("modules/setting/p5.bin").contains("reportRate=6"));
}

void tst_ProfileStore::copyProfile_data()
{
    QTest::addColumn<int>("dest");
    QTest::addColumn<int>("src");
    QTest::newRow("1 from 4") << 1 << 4;
    QTest::newRow("4 from 1") << 4 << 1;
    QTest::newRow("9 from 0") << 9 << 0;
    QTest::newRow("2 onto itself") << 2 << 2;
}

void tst_ProfileStore::copyProfile()
{
    QFETCH(int, dest);
    QFETCH(int, src);
    TestDataFolder folder;
    const QMap<QString, QByteArray> before = profileBytes(folder);
    {
        SettingsStore store;
        store.setCurrentProfile(src);
        // A change not yet written is part of the copy.
        store.setData("mouse/dpiCount", 7);
        store.setCurrentProfile(dest);
        QSettings *object = store.current();
        ProfileStore(store).copyProfile(dest, src);
        // Replaced and read again, unless copied onto itself.
        QCOMPARE(store.current() != object, dest != src);
        QCOMPARE(store.data("mouse/dpiCount", false).toString(), QStringLiteral("7"));
        QCOMPARE(store.currentProfile(), dest);
        releaseDeferred();
    }
    const QMap<QString, QByteArray> after = profileBytes(folder);
    QVERIFY(after.value(profileFile(src)).contains("dpiCount=7"));
    QVERIFY(after.value(profileFile(dest)).contains("[mouseKeyMatrix]"));
    QCOMPARE(after.value(profileFile(dest)), after.value(profileFile(src)));
    for (int n = 0; n < StorePaths::profileCount; ++n) {
        if (n != dest && n != src)
            QCOMPARE(after.value(profileFile(n)), before.value(profileFile(n)));
    }
}

void tst_ProfileStore::failedReplaceLeavesTheProfile_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("reset without pD.bin") << "reset";
    QTest::newRow("cancelled import") << "import cancelled";
    QTest::newRow("import of a missing file") << "import";
    QTest::newRow("import of a folder") << "import folder";
    QTest::newRow("import of a file over 1 MiB") << "import oversized";
}

void tst_ProfileStore::failedReplaceLeavesTheProfile()
{
    QFETCH(QString, operation);
    TestDataFolder folder;
    if (operation == "reset")
        QVERIFY(QFile::remove(folder.filePath("modules/setting/pD.bin")));
    // A sound profile, only too large to be one.
    if (operation == "import oversized")
        folder.write("big.pf",
                     "[mouse]\nreportRate=3\n" + QByteArray(StorePaths::maxFileSize, '\n'));
    {
        SettingsStore store;
        store.setCurrentProfile(5);
        store.setData(reportRate, 1);
        QSettings *before = store.current();
        ProfileStore profiles(store);
        if (operation == "reset") {
            profiles.resetProfile(5);
        } else {
            const QString picked = operation == "import"             ? folder.filePath("gone.pf")
                                   : operation == "import folder"    ? folder.filePath("modules")
                                   : operation == "import oversized" ? folder.filePath("big.pf")
                                                                     : QString();
            ScriptedFileDialogs dialogs({picked});
            const ImportResult expected = picked.isEmpty() ? ImportResult::Cancelled
                                          : operation == "import oversized" ? ImportResult::TooLarge
                                                                            : ImportResult::Failed;
            QCOMPARE(profiles.importProfile(5, dialogs), expected);
            QCOMPARE(dialogs.asked.size(), 1);
        }
        QCOMPARE(store.current(), before);
        QCOMPARE(store.data(reportRate, false), QVariant(1));
        QCOMPARE(store.data("mouse/dpiCount", false), QVariant("4"));
    }
    const QByteArray file = folder.read("modules/setting/p6.bin");
    QVERIFY(file.contains("reportRate=1"));
    QVERIFY(file.contains("dpiCount=4"));
    // No temporary file is left behind.
    QCOMPARE(QDir(folder.filePath("modules/setting")).entryList(QDir::Files).size(),
             operation == "reset" ? 12 : 13);
}

void tst_ProfileStore::importTakesThePickedFile()
{
    TestDataFolder folder;
    const QByteArray imported("[mouse]\nreportRate=0\ndpiCount=2\n[XYSensitive]\n0=9\n");
    folder.write("exchange/mine.pf", imported);
    {
        SettingsStore store;
        ScriptedFileDialogs dialogs({folder.filePath("exchange/mine.pf")});
        QCOMPARE(ProfileStore(store).importProfile(0, dialogs), ImportResult::Imported);
        QCOMPARE(dialogs.asked, QStringList{"open Profile(*.pf)"});
        QCOMPARE(store.data(reportRate, false), QVariant("0"));
        QVERIFY(!store.data("mouse/lightValue", false).isValid());
        releaseDeferred();
    }
    QCOMPARE(folder.read("modules/setting/p1.bin"), imported);
    QCOMPARE(folder.read("exchange/mine.pf"), imported);
    SettingsStore store;
    QCOMPARE(store.data("XYSensitive/0", false), QVariant("9"));
}

void tst_ProfileStore::exportReplacesOnlyAFileTarget()
{
    TestDataFolder folder;
    folder.write("exchange/old.pf", "[old]\nkeep=me\n");
    QVERIFY(QDir(folder.path()).mkpath("exchange/taken.pf"));
    SettingsStore store;
    store.setCurrentProfile(1);
    store.setData(reportRate, 2); // made before the export, not yet written
    ScriptedFileDialogs cancel;
    ProfileStore(store).exportProfile(1, cancel);
    QCOMPARE(cancel.asked, QStringList{"save Profile(*.pf)"});
    QCOMPARE(folder.read("exchange/old.pf"), QByteArray("[old]\nkeep=me\n"));

    // A folder in place of the target cannot be replaced; nothing is lost.
    ScriptedFileDialogs taken({folder.filePath("exchange/taken.pf")});
    ProfileStore(store).exportProfile(1, taken);
    QVERIFY(QFileInfo(folder.filePath("exchange/taken.pf")).isDir());
    QCOMPARE(QDir(folder.filePath("exchange")).entryList(QDir::Files), QStringList{"old.pf"});

    ScriptedFileDialogs dialogs({folder.filePath("exchange/old.pf")});
    ProfileStore(store).exportProfile(1, dialogs);
    const QByteArray exported = folder.read("exchange/old.pf");
    QVERIFY(exported.contains("reportRate=2"));
    QVERIFY(!exported.contains("keep=me"));
    QCOMPARE(exported, folder.read("modules/setting/p2.bin"));
    QCOMPARE(QDir(folder.filePath("exchange")).entryList(QDir::Files), QStringList{"old.pf"});

    // Typed without a suffix, the file still shows up in the import filter.
    ScriptedFileDialogs bare({folder.filePath("exchange/mine")});
    ProfileStore(store).exportProfile(1, bare);
    QCOMPARE(folder.read("exchange/mine.pf"), exported);
    QCOMPARE(QDir(folder.filePath("exchange")).entryList(QDir::Files),
             (QStringList{"mine.pf", "old.pf"}));
}

void tst_ProfileStore::profileNumbersOutOfRangeChangeNothing()
{
    TestDataFolder folder;
    const QMap<QString, QByteArray> before = profileBytes(folder);
    {
        SettingsStore store;
        ProfileStore profiles(store);
        ScriptedFileDialogs dialogs({folder.filePath("modules/setting/pD.bin")});
        QCOMPARE(profiles.importProfile(10, dialogs), ImportResult::Failed);
        profiles.exportProfile(-1, dialogs);
        QVERIFY(dialogs.asked.isEmpty());
        profiles.resetProfile(10);
        profiles.resetProfile(-1);
        profiles.copyProfile(10, 0);
        profiles.copyProfile(0, 10);
        releaseDeferred();
    }
    QCOMPARE(profileBytes(folder), before);
}

QTEST_GUILESS_MAIN(tst_ProfileStore)
#include "tst_profilestore.moc"
