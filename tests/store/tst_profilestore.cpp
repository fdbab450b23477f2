#include "profilestore.h"
#include "scriptedfiledialogs.h"
#include "settingsstore.h"
#include "storepaths.h"
#include "testdatafolder.h"

#include <QDir>
#include <QPointer>
#include <QSettings>
#include <QTest>

class tst_ProfileStore : public QObject
{
    Q_OBJECT

private slots:
    void resetGivesTheDefaultProfile()
    {
        TestDataFolder folder;
        SettingsStore store(QDir::currentPath());
        store.setCurrentProfile(2);
        // Files are cached by size and time: an equal-size replacement within the same
        // millisecond must still be read. An odd round's write, pending, must be lost.
        for (int round = 0; round < 200; ++round) {
            QVERIFY(store.setData("mouse/reportRate", round % 2 ? 1 : 7) &&
                    (round % 2 || store.sync()));
            QPointer<QSettings> old = store.current();
            ProfileStore(store).resetProfile(2);
            QCOMPARE(store.data("mouse/reportRate", false), QVariant("3"));
            TestDataFolder::releaseDeferred();
            QVERIFY(!old); // released on the way back to the event loop
        }
        store.sync();
        QCOMPARE(folder.read("modules/setting/p3.bin"), folder.read("modules/setting/pD.bin"));
        store.setData("mouse/reportRate", 5); // the new object writes to the same file
        QVERIFY(store.sync() && folder.read("modules/setting/p3.bin").contains("reportRate=5"));
    }

    void copyProfile()
    {
        for (const auto &[dest, src] : {std::pair{1, 4}, {9, 0}, {2, 2}}) {
            TestDataFolder folder;
            QMap<QString, QByteArray> expected = folder.snapshot();
            SettingsStore store(QDir::currentPath());
            store.setCurrentProfile(src);
            store.setData("mouse/dpiCount", 7); // not yet written, still copied
            store.setCurrentProfile(dest);
            QVERIFY(ProfileStore(store).copyProfile(dest, src));
            QCOMPARE(store.data("mouse/dpiCount", false).toString(), QStringLiteral("7"));
            TestDataFolder::releaseDeferred();
            for (int p : {src, dest})
                expected[StorePaths::profile(p)] = folder.read(StorePaths::profile(src));
            QCOMPARE(folder.snapshot(), expected);
        }
    }

    void failuresChangeNothing() // on disk, nor the profile object and values
    {
        const std::function<void(ProfileStore)> rows[] = {
            [](ProfileStore p) { QVERIFY(!p.resetProfile(5)); }, // without pD.bin
            [](ProfileStore p) {
                ScriptedFileDialogs big({"big.pf"});
                QCOMPARE(p.importProfile(5, big), ImportResult::TooLarge);
            },
            [](ProfileStore p) { // not a profile: a picture, a macro file
                ScriptedFileDialogs notProfiles({"picture.pf", "modules/macro/m.bin"});
                QVERIFY(p.importProfile(5, notProfiles) == ImportResult::Failed &&
                        p.importProfile(5, notProfiles) == ImportResult::Failed);
            },
            [](ProfileStore p) { // a folder in place of the target cannot be replaced
                ScriptedFileDialogs taken({"taken.pf"});
                QVERIFY(!p.exportProfile(5, taken));
            },
            [](ProfileStore p) { // out of range: nothing written is no failure
                ScriptedFileDialogs dialogs({"modules/setting/pD.bin"});
                QVERIFY(p.importProfile(10, dialogs) == ImportResult::Failed &&
                        p.exportProfile(-1, dialogs) && p.resetProfile(10) && p.resetProfile(-1) &&
                        p.copyProfile(10, 0) && p.copyProfile(0, 10) && dialogs.asked.isEmpty());
            }};
        for (const auto &operation : rows) {
            TestDataFolder folder;
            folder.write("big.pf",
                         "[mouse]\nreportRate=3\n" + QByteArray(StorePaths::maxFileSize, '\n'));
            folder.write("picture.pf", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR[", 17));
            folder.write("modules/macro/m.bin", "[config]\ntotal=0\nrepeat=1\n");
            QVERIFY(QDir().mkpath("taken.pf") &&
                    (&operation != rows || QFile::remove("modules/setting/pD.bin")));
            SettingsStore store(QDir::currentPath());
            store.setCurrentProfile(5);
            QVERIFY(store.setData("mouse/reportRate", 1) && store.sync());
            const QMap<QString, QByteArray> before = folder.snapshot();
            QSettings *object = store.current();
            operation(ProfileStore(store));
            TestDataFolder::releaseDeferred();
            QVERIFY(store.current() == object && store.data("mouse/reportRate", false) == 1);
            store.sync();
            QCOMPARE(folder.snapshot(), before);
        }
    }
};

QTEST_GUILESS_MAIN(tst_ProfileStore)
#include "tst_profilestore.moc"
