#include "profilestore.h"
#include "scriptedfiledialogs.h"
#include "settingsstore.h"
#include "storepaths.h"
#include "testdatafolder.h"

#include <QDir>
#include <QPointer>
#include <QSettings>
#include <QTest>

using Operation = std::function<void(ProfileStore &)>;
Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(ImportResult)

namespace {
const char reportRate[] = "mouse/reportRate";

QString profileFile(int n)
{
    return StorePaths::profile(n).mid(2);
}

void import(ProfileStore &profiles, int profile, const QString &picked, ImportResult result)
{
    ScriptedFileDialogs dialogs({picked});
    QCOMPARE(profiles.importProfile(profile, dialogs), result);
    // No dialog for a profile that does not exist.
    QCOMPARE(dialogs.asked.size(), profile < StorePaths::profileCount ? 1 : 0);
}
} // namespace

class tst_ProfileStore : public QObject
{
    Q_OBJECT

private slots:
    void resetGivesTheDefaultProfile()
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
            QVERIFY(old && store.current() != old.data());
            TestDataFolder::releaseDeferred();
            QVERIFY(!old);
            store.sync();
            QCOMPARE(folder.read("modules/setting/p3.bin"), factory);
            // The new object writes to the same file, and keeps its place.
            store.setData(reportRate, 5);
            QVERIFY(store.current() == store.profile(2) &&
                    store.profile(3)->fileName().endsWith(profileFile(3)));
        }
        SettingsStore store;
        store.setCurrentProfile(2);
        QCOMPARE(store.data(reportRate, false), QVariant("5"));
    }

    void replacedProfileIsReadAtOnce()
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
            TestDataFolder::releaseDeferred();
        }
    }

    void copyProfile()
    {
        for (const auto &[dest, src] : {std::pair{1, 4}, {9, 0}, {2, 2}}) {
            TestDataFolder folder;
            QMap<QString, QByteArray> expected = folder.snapshot();
            {
                SettingsStore store;
                store.setCurrentProfile(src);
                // A change not yet written is part of the copy.
                store.setData("mouse/dpiCount", 7);
                store.setCurrentProfile(dest);
                QSettings *object = store.current();
                QVERIFY(ProfileStore(store).copyProfile(dest, src));
                // Replaced and read again, unless copied onto itself.
                QCOMPARE(store.current() != object, dest != src);
                QCOMPARE(store.data("mouse/dpiCount", false).toString(), QStringLiteral("7"));
                QCOMPARE(store.currentProfile(), dest);
                TestDataFolder::releaseDeferred();
            }
            const QMap<QString, QByteArray> after = folder.snapshot();
            const QByteArray copy = after.value(profileFile(src));
            QVERIFY(copy.contains("dpiCount=7") && copy.contains("[mouseKeyMatrix]"));
            expected[profileFile(src)] = expected[profileFile(dest)] = copy;
            QCOMPARE(after, expected);
        }
    }

    void failuresChangeNothing_data()
    {
        QTest::addColumn<QString>("removed");
        QTest::addColumn<Operation>("operation");
        const auto row = [](const char *name, const Operation &operation) {
            QTest::newRow(name) << QString() << operation;
        };
        using P = ProfileStore &;
        QTest::newRow("reset without pD.bin")
            << "modules/setting/pD.bin" << Operation([](P p) { QVERIFY(!p.resetProfile(5)); });
        row("import cancelled", [](P p) { import(p, 5, QString(), ImportResult::Cancelled); });
        row("import of a missing file", [](P p) { import(p, 5, "gone.pf", ImportResult::Failed); });
        row("import of a folder", [](P p) { import(p, 5, "modules", ImportResult::Failed); });
        // A sound profile, only too large to be one.
        row("import over 1 MiB", [](P p) { import(p, 5, "big.pf", ImportResult::TooLarge); });
        row("export cancelled", [](P p) {
            ScriptedFileDialogs cancel;
            QVERIFY(p.exportProfile(5, cancel));
            QCOMPARE(cancel.asked, QStringList{"save Profile(*.pf)"});
        });
        // A folder in place of the target cannot be replaced.
        row("export onto a folder", [](P p) {
            ScriptedFileDialogs taken({"taken.pf"});
            QVERIFY(!p.exportProfile(5, taken));
        });
        // Nothing written is no failure.
        row("numbers out of range", [](P p) {
            import(p, 10, "modules/setting/pD.bin", ImportResult::Failed);
            ScriptedFileDialogs dialogs({"out.pf"});
            QVERIFY(p.exportProfile(-1, dialogs) && p.resetProfile(10) && p.resetProfile(-1) &&
                    p.copyProfile(10, 0) && p.copyProfile(0, 10));
            QVERIFY(dialogs.asked.isEmpty());
        });
    }

    // Nothing changes on disk, no temporary file is left, and the profile
    // keeps its object and its values.
    void failuresChangeNothing()
    {
        QFETCH(QString, removed);
        QFETCH(Operation, operation);
        TestDataFolder folder;
        folder.write("big.pf",
                     "[mouse]\nreportRate=3\n" + QByteArray(StorePaths::maxFileSize, '\n'));
        QVERIFY(QDir().mkpath("taken.pf"));
        if (!removed.isEmpty())
            QVERIFY(QFile::remove(removed));
        SettingsStore store;
        store.setCurrentProfile(5);
        store.setData(reportRate, 1);
        store.sync();
        const QMap<QString, QByteArray> before = folder.snapshot();
        QSettings *object = store.current();
        ProfileStore profiles(store);
        operation(profiles);
        TestDataFolder::releaseDeferred();
        QCOMPARE(store.current(), object);
        QCOMPARE(store.data(reportRate, false), QVariant(1));
        store.sync();
        QCOMPARE(folder.snapshot(), before);
    }

    void importAndExportTakeThePickedFile()
    {
        TestDataFolder folder;
        const QByteArray imported("[mouse]\nreportRate=0\ndpiCount=2\n[XYSensitive]\n0=9\n");
        folder.write("mine.pf", imported);
        folder.write("old.pf", "[old]\nkeep=me\n");
        SettingsStore store;
        ScriptedFileDialogs dialogs({"mine.pf", "old.pf", "bare"});
        QCOMPARE(ProfileStore(store).importProfile(0, dialogs), ImportResult::Imported);
        QCOMPARE(store.data(reportRate, false), QVariant("0"));
        QVERIFY(!store.data("mouse/lightValue", false).isValid());
        TestDataFolder::releaseDeferred();
        QCOMPARE(folder.read("modules/setting/p1.bin") + folder.read("mine.pf"),
                 imported + imported);
        // A change not yet written goes along; the target is replaced whole.
        store.setData(reportRate, 2);
        QVERIFY(ProfileStore(store).exportProfile(0, dialogs));
        const QByteArray exported = folder.read("old.pf");
        QVERIFY(exported.contains("reportRate=2") && !exported.contains("keep=me"));
        QCOMPARE(exported, folder.read("modules/setting/p1.bin"));
        // Typed without a suffix, the file still shows up in the import filter.
        QVERIFY(ProfileStore(store).exportProfile(0, dialogs));
        QCOMPARE(folder.read("bare.pf"), exported);
        QCOMPARE(dialogs.asked,
                 (QStringList{"open Profile(*.pf)", "save Profile(*.pf)", "save Profile(*.pf)"}));
        QCOMPARE(QDir().entryList({"*.pf"}, QDir::Files),
                 (QStringList{"bare.pf", "mine.pf", "old.pf"}));
        SettingsStore after;
        QCOMPARE(after.data("XYSensitive/0", false), QVariant("9"));
    }
};

QTEST_GUILESS_MAIN(tst_ProfileStore)
#include "tst_profilestore.moc"
