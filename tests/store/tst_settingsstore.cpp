#include "devicetablefile.h"
#include "filesizelimit.h"
#include "macrostore.h"
#include "namelistfile.h"
#include "settingsstore.h"
#include "storepaths.h"
#include "testdatafolder.h"

#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>
#include <fcntl.h>
#include <future>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const char *const writerVariable = "SKARN_TEST_SETTINGS_WRITER";
constexpr int padSize = 200000;
} // namespace

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
            // The device flags are read once, at construction.
            store.setGlobalData("mouse/icType", "560");
            QCOMPARE(store.deviceFlags().icType, QStringLiteral("553"));
            // Global values ignore the current profile; out of range, it stays.
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

        // A reset copies the factory file whole; the released object must not
        // write its old values into the new file. Without the factory copy it fails.
        store.setGlobalData("user/extra", "x");
        QVERIFY(store.resetGlobalSettings());
        TestDataFolder::releaseDeferred();
        QVERIFY(store.sync());
        QCOMPARE(folder.read(StorePaths::globalSettings),
                 folder.read(StorePaths::factoryGlobalSettings));
        QVERIFY(QFile::remove(StorePaths::factoryGlobalSettings) && !store.resetGlobalSettings());
    }

    // A folder where the file should be makes every write fail, even for root;
    // the next write takes the pending change along.
    void failedWritesAreReportedAndRetried()
    {
        TestDataFolder folder;
        const QString global = StorePaths::globalSettings;
        {
            SettingsStore store(QDir::currentPath());
            QVERIFY(QFile::remove(global) && QDir().mkpath(global));
            QVERIFY(!store.setGlobalData("common/language", "ChineseSimplified") && !store.sync());
            QCOMPARE(store.globalData("common/language"), QVariant("ChineseSimplified"));
            QVERIFY(store.setData("mouse/reportRate", 0)); // other files still take writes
            QVERIFY(QDir(global).removeRecursively() && store.setGlobalData("mouse/profileNo", 2));
            QVERIFY(folder.read(global).contains("language=ChineseSimplified"));
            QVERIFY(QFile::remove(global) && QDir().mkpath(global));
            QVERIFY(!store.setGlobalData("mouse/profileNo", 4) && QDir(global).removeRecursively());
        }
        // A change still pending at quit is written when the store closes.
        QVERIFY(folder.read(global).contains("profileNo=4"));

        // A disk about to fill (here: a file size limit that leaves room for
        // the lock file Qt takes, not for the file): Qt would put what it
        // managed to write in the file's place and report success. Nothing is
        // written, neither by the store nor by Qt on its own nor as the store
        // closes; the change stays and goes with the next write that has room.
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

    // Any Chinese locale, not only the one of the Chinese file, reads that file.
    void languageFollowsTheLocaleUntilChosen()
    {
        TestDataFolder folder;
        const QLocale before;
        QLocale::setDefault(QLocale("zh_TW"));
        SettingsStore store(QDir::currentPath());
        QCOMPARE(store.globalData("common/language").toString(), "ChineseSimplified");
        QLocale::setDefault(before);
    }

    // Saves replace the file whole: a writer killed at any moment leaves the
    // old or the new content, never a mix or a cut.
    void killedWriterLeavesNoTornFile()
    {
        TestDataFolder folder;
        qputenv(writerVariable, "1");
        for (int attempt = 0; attempt < 2; ++attempt) {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(writer.waitForStarted());
            QTest::qWait(40 + 60 * attempt);
            writer.kill();
            QVERIFY(writer.waitForFinished());
            const QSettings file(StorePaths::profile(0), QSettings::IniFormat);
            const QString pad = file.value("mouse/pad").toString();
            QVERIFY(pad.isEmpty() || pad == QString(padSize, pad.at(0)));
            QCOMPARE(file.value("mouse/reportRate"), QVariant("3"));
        }
        qunsetenv(writerVariable);
    }

    // Settings too large to be real, or without the mouse's settings (garbage,
    // a file cut short, keys without values), are set aside and rebuilt from
    // their factory file; a sound file is read as it is. Read: device family,
    // then reportRate in profile 1 and in the default profile.
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
            {profile(0), defaultProfile, large, "553 3 3"},
            {defaultProfile, {}, large, "553 3 "},
            {profile(0), defaultProfile, QByteArray("\x00\xff\x01[[[=\n=\n\x7f\x80 ===", 17),
             "553 3 3"},
            {profile(0), defaultProfile, "{\"mouse\": 1}", "553 3 3"},
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
                // Let the reader go before failing.
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
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(writerVariable)) { // the writer child, killed mid-save
        SettingsStore store(QDir::currentPath());
        for (int i = 0;; ++i)
            store.setData("mouse/pad", QString(padSize, QLatin1Char(i % 2 ? 'a' : 'b')));
    }
    tst_SettingsStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_settingsstore.moc"
