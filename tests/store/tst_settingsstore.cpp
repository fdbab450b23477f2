#include "devicetablefile.h"
#include "filesizelimit.h"
#include "langstrings.h"
#include "macrostore.h"
#include "namelistfile.h"
#include "profilestore.h"
#include "scriptedfiledialogs.h"
#include "settingsstore.h"
#include "storepaths.h"
#include "testdatafolder.h"

#include <QDir>
#include <QLocale>
#include <QPointer>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>
#include <fcntl.h>
#include <future>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

class tst_SettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void valuesComeBackAsTextAfterRestart()
    {
        TestDataFolder folder;
        const QByteArray factory = folder.read(StorePaths::defaultProfile);
        const QString name = QStringLiteral("宏 Überfall");
        {
            SettingsStore store(QDir::currentPath());
            store.setData("mouse/reportRate", 1);
            store.setData("mouseMacroKey/3", name);
            store.setDataList("test/numbers", {1, 2, 3});
            store.setGlobalData("mouse/icType", "560");
            QCOMPARE(store.deviceFlags().icType, QStringLiteral("553"));
            // Global values ignore the current profile, which stays when out of range.
            store.setCurrentProfile(2);
            store.setGlobalData("mouse/profileNo", 4);
            store.setCurrentProfile(10);
            store.setCurrentProfile(-1);
            store.setData("mouse/dpiCount", 0);
        }
        QCOMPARE(folder.read(StorePaths::defaultProfile), factory);
        QVERIFY(folder.read(StorePaths::profile(2)).contains("dpiCount=0"));
        SettingsStore store(QDir::currentPath());
        QCOMPARE(
            (QVariantList{store.data("mouse/reportRate", false),
                          store.globalData("mouse/profileNo"), store.data("mouseMacroKey/3", false),
                          store.globalData("mouse/icType"), store.dataList("test/numbers", false),
                          store.dataList("mouse/reportRate", true),
                          store.dataList("mouse/lightValue", true)}),
            (QVariantList{"1", "4", name, "560", QVariantList{"1", "2", "3"}, QVariantList(),
                          QVariantList{"0", "0", "4"}}));

        // A reset copies the factory file whole (the old object adds nothing), or fails.
        store.setGlobalData("user/extra", "x");
        QVERIFY(store.resetGlobalSettings());
        TestDataFolder::releaseDeferred();
        QVERIFY(store.sync());
        QCOMPARE(folder.read(StorePaths::globalSettings),
                 folder.read(StorePaths::factoryGlobalSettings));
        QVERIFY(QFile::remove(StorePaths::factoryGlobalSettings) && !store.resetGlobalSettings());
    }

    // A folder in the file's place fails every write (even as root); the next takes it along.
    void failedWritesAreReportedAndRetried()
    {
        TestDataFolder folder;
        const QString global = StorePaths::globalSettings;
        {
            SettingsStore store(QDir::currentPath());
            QVERIFY(QFile::remove(global) && QDir().mkpath(global));
            QVERIFY(!store.setGlobalData("common/language", "ChineseSimplified") && !store.sync());
            QVERIFY(store.setData("mouse/reportRate", 0)); // other files still take writes
            QVERIFY(QDir(global).removeRecursively() && store.setGlobalData("mouse/profileNo", 2));
            QVERIFY(folder.read(global).contains("language=ChineseSimplified"));
            QVERIFY(QFile::remove(global) && QDir().mkpath(global));
            QVERIFY(!store.setGlobalData("mouse/profileNo", 4) && QDir(global).removeRecursively());
        }
        // A change still pending at quit is written when the store closes.
        QVERIFY(folder.read(global).contains("profileNo=4"));

        // A disk about to fill: nothing is written, even at close; the next write takes it along.
        const QMap<QString, QByteArray> snapshot = folder.snapshot();
        const auto unlimited = qScopeGuard([&] { limitFileSize(RLIM_INFINITY); });
        auto store = std::make_unique<SettingsStore>(QDir::currentPath());
        limitFileSize(200);
        QVERIFY(!store->setData("mouse/reportRate", 3) && !store->setGlobalData("mouse/x", 1) &&
                !store->sync());
        QCoreApplication::processEvents();
        QVERIFY(!NameListFile(store->root(), store->setAsideNotice()).update(0, {"A", "B"}) &&
                !MacroStore(*store).create("M", 0) &&
                !DeviceTableFile::load(QDir::currentPath()).isEmpty());
        store.reset();
        QVERIFY(folder.snapshot() == snapshot);
        limitFileSize(RLIM_INFINITY);
        store = std::make_unique<SettingsStore>(QDir::currentPath());
        QVERIFY(store->setData("mouse/dpiCount", 2));
        const QByteArray written = folder.read(StorePaths::profile(0));
        QVERIFY2(written.contains("dpiCount=2\ndpiValueArray") && written.contains("reportRate=3"),
                 written.constData());
    }

    // Until one is chosen the locale picks: Chinese by script, any Portuguese the Brazilian,
    // English without a file, and each language file's own locale (the one that picks Qt's
    // texts) that file.
    void languageFollowsTheLocaleUntilChosen()
    {
        TestDataFolder folder;
        QStringList locales{"zh_Hans_HK", "zh_HK", "pt_PT", "nl_NL"}, reached,
            files{"ChineseSimplified", "ChineseTraditional", "BrazilianPortuguese", "English"};
        for (const LangStrings::Language &language : LangStrings::languages(QDir::currentPath())) {
            files << language.code;
            locales << LangStrings::read(QDir::currentPath(), "language", language.code).value(1);
        }
        for (const QString &locale : std::as_const(locales))
            reached << SettingsStore::defaultLanguage(QLocale(locale));
        QCOMPARE(files.size(), 4 + 14);
        QCOMPARE(reached, files);
        const QLocale before;
        QLocale::setDefault(QLocale("zh_HK"));
        const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
        SettingsStore store(QDir::currentPath());
        QCOMPARE(store.globalData("common/language").toString(), "ChineseTraditional");
        QVERIFY(store.setGlobalData("common/language", "Polish") && !store.hasGlobalData("x"));
        QCOMPARE(store.globalData("common/language").toString(), "Polish");
        QVERIFY(store.removeGlobalData("common/language"));
        QCOMPARE(SettingsStore(QDir::currentPath()).globalData("common/language").toString(),
                 "ChineseTraditional");
    }

    // Settings too large or without the mouse's group are set aside and rebuilt from factory.
    void damagedFilesAreSetAside()
    {
        const QByteArray large = "[mouse]\nicType=999\nreportRate=9\n[x]\n" +
                                 QByteArray(StorePaths::maxFileSize, 'x') + "=1\n";
        using namespace StorePaths;
        const struct
        {
            QString file, factory;
            QByteArray content;
            QString read;
        } rows[] = {
            {globalSettings, factoryGlobalSettings, large, "553 3 3"},
            {defaultProfile, {}, large, "553 3 "},
            {profile(0), defaultProfile, QByteArray("\x00\xff\x01[[[=\n=\n\x7f\x80 ===", 17),
             "553 3 3"},
            {globalSettings, factoryGlobalSettings, "[mouse]\nisGun\nicType\n[[\n", "553 3 3"},
            {profile(0), {}, "[mouse]\nreportRate=2\n", "553 2 3"}};
        for (const auto &[file, factory, content, read] : rows) {
            TestDataFolder folder;
            QVERIFY(QFile::remove(file));
            folder.write(file, content);
            SettingsStore store(folder.path());
            const bool damaged = !factory.isEmpty() || content == large;
            QCOMPARE(store.damagedFiles(),
                     damaged ? QStringList{folder.filePath(file)} : QStringList());
            QCOMPARE(store.deviceFlags().icType + " " +
                         store.data("mouse/reportRate", false).toString() + " " +
                         store.data("mouse/reportRate", true).toString(),
                     read);
            QCOMPARE(folder.read(file + ".damaged"), damaged ? content : QByteArray());
            if (!factory.isEmpty())
                QCOMPARE(folder.read(file), folder.read(factory));
            QCOMPARE(SettingsStore(QDir::currentPath()).damagedFiles(), QStringList());
        }
        // A pipe in a profile's place is set aside unread: opening it would wait for a writer.
        {
            TestDataFolder folder;
            QVERIFY(QFile::remove(profile(0)));
            QCOMPARE(mkfifo(qPrintable(folder.filePath(profile(0))), 0600), 0);
            auto opened = std::async(std::launch::async, [&folder] {
                return SettingsStore(folder.path()).damagedFiles();
            });
            if (opened.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
                ::close(::open(qPrintable(folder.filePath(profile(0))), O_WRONLY | O_NONBLOCK));
                QFAIL("the store waited on a pipe");
            }
            QCOMPARE(opened.get(), QStringList{folder.filePath(profile(0))});
            QCOMPARE(folder.read(profile(0)), folder.read(defaultProfile));
        }
        // A folder where the damaged copy would go: nothing is set aside, nor said to be.
        TestDataFolder folder;
        folder.write(StorePaths::profile(0), large);
        QVERIFY(QDir().mkpath(StorePaths::profile(0) + ".damaged"));
        QCOMPARE(SettingsStore(QDir::currentPath()).damagedFiles(), QStringList());
        QCOMPARE(folder.read(StorePaths::profile(0)), large);
    }

    void resetGivesTheDefaultProfile()
    {
        TestDataFolder folder;
        SettingsStore store(QDir::currentPath());
        store.setCurrentProfile(2);
        // Files are cached by size and time: an equal-size replacement must still be read.
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
        store.setData("mouse/reportRate", 5);
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
            [](ProfileStore p) { // not a profile: a picture, a macro file
                ScriptedFileDialogs notProfiles({"picture.pf", "modules/macro/m.bin"});
                QVERIFY(p.importProfile(5, notProfiles) == ImportResult::Failed &&
                        p.importProfile(5, notProfiles) == ImportResult::Failed);
            },
            [](ProfileStore p) { // out of range: nothing written is no failure
                ScriptedFileDialogs dialogs({"modules/setting/pD.bin"});
                QVERIFY(p.importProfile(10, dialogs) == ImportResult::Failed &&
                        p.exportProfile(-1, dialogs) && p.resetProfile(10) && p.resetProfile(-1) &&
                        p.copyProfile(10, 0) && p.copyProfile(0, 10) && dialogs.asked.isEmpty());
            }};
        for (const auto &operation : rows) {
            TestDataFolder folder;
            folder.write("picture.pf", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR[", 17));
            folder.write("modules/macro/m.bin", "[config]\ntotal=0\nrepeat=1\n");
            QVERIFY(&operation != rows || QFile::remove("modules/setting/pD.bin"));
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

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
