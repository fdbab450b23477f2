#include "settingsstore.h"
#include "storepaths.h"
#include "testdatafolder.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QSettings>
#include <QTest>

namespace {
const char *const writerVariable = "SKARN_TEST_SETTINGS_WRITER";
constexpr int padSize = 200000;

// The writer child: saves a large value in turns of two letters until it is
// killed.
int writeForever()
{
    SettingsStore store;
    for (int i = 0;; ++i)
        store.setData("mouse/pad", QString(padSize, QLatin1Char(i % 2 ? 'a' : 'b')));
}
} // namespace

class tst_SettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void valuesComeBackAsTextAfterRestart()
    {
        TestDataFolder folder;
        const QByteArray factory = folder.read("modules/setting/pD.bin");
        const QByteArray factoryGlobal = folder.read("modules/setting/apConfigD.bin");
        const QString name = QStringLiteral("宏 Überfall");
        {
            SettingsStore store;
            QCOMPARE(store.data("mouse/reportRate", false), QVariant(QStringLiteral("3")));
            QVERIFY(!store.data("no/such", false).isValid() &&
                    !store.globalData("no/such").isValid());
            store.setData("mouse/reportRate", 1);
            store.setData("mouse/flag", true);
            store.setData("mouseMacroKey/3", name);
            QCOMPARE(store.data("mouse/reportRate", false).typeId(), int(QMetaType::Int));
            // The device flags are read once, at construction.
            store.setGlobalData("mouse/icType", "560");
            store.setGlobalData("mouse/isGun", false);
            QCOMPARE(store.deviceFlags().icType, QStringLiteral("553"));
            // The default profile is only read.
            QCOMPARE(store.data("mouse/reportRate", true), QVariant(QStringLiteral("3")));
            // Global operations ignore the current profile; out of range, it stays.
            store.setCurrentProfile(2);
            store.setData("mouse/reportRate", 0);
            store.setGlobalData("mouse/profileNo", 4);
            QVERIFY(!store.data("mouse/profileNo", false).isValid());
            store.setCurrentProfile(10);
            store.setCurrentProfile(-1);
            QCOMPARE(store.currentProfile(), 2);
            QCOMPARE(store.data("mouse/reportRate", false), QVariant(0));
            store.setCurrentProfile(0);
            QCOMPARE(store.data("mouse/reportRate", false), QVariant(1));
        }
        QCOMPARE(folder.read("modules/setting/pD.bin"), factory);
        QVERIFY(folder.read("modules/setting/p1.bin").contains("[mouseMacroKey]"));
        QVERIFY(folder.read("modules/setting/p3.bin").contains("reportRate=0"));
        {
            // A run value holds over the file in its own store only, and is
            // never written.
            SettingsStore served(nullptr, {{"mouse/icType", "553"}});
            QCOMPARE(served.deviceFlags().icType, QStringLiteral("553"));
            QCOMPARE(served.globalData("mouse/icType"), QVariant(QStringLiteral("553")));
            served.setGlobalData("mouse/selectGun", 3);
            QVERIFY(folder.read("modules/setting/apConfig.bin").contains("icType=560"));
        }
        SettingsStore store;
        QCOMPARE(
            (QVariantList{store.data("mouse/reportRate", false),
                          store.globalData("mouse/profileNo"), store.data("mouse/flag", false),
                          store.data("mouseMacroKey/3", false), store.globalData("mouse/icType")}),
            (QVariantList{"1", "4", "true", name, "560"}));

        // A reset copies the factory file whole; the released object must not
        // write its old values into the new file.
        store.setGlobalData("user/extra", "x");
        QVERIFY(store.resetGlobalSettings());
        QCOMPARE(store.globalData("mouse/profileNo"), QVariant(QStringLiteral("0")));
        QVERIFY(!store.globalData("user/extra").isValid());
        TestDataFolder::releaseDeferred();
        store.sync();
        QCOMPARE(folder.read("modules/setting/apConfig.bin"), factoryGlobal);
        QCOMPARE(folder.read("modules/setting/apConfigD.bin"), factoryGlobal);
        // Without the factory copy the settings stay as they are.
        QVERIFY(QFile::remove(folder.filePath("modules/setting/apConfigD.bin")));
        store.setGlobalData("mouse/profileNo", 5);
        QVERIFY(!store.resetGlobalSettings());
        QCOMPARE(store.globalData("mouse/profileNo"), QVariant(5));
        store.sync();
        QVERIFY(folder.read("modules/setting/apConfig.bin").contains("profileNo=5"));

        // A folder in place of the file cannot be renamed over, even by root.
        folder.write("modules/setting/apConfigD.bin", factoryGlobal);
        QVERIFY(QFile::remove(folder.filePath("modules/setting/apConfig.bin")));
        SettingsStore fresh;
        QVERIFY(QDir(folder.path()).mkpath("modules/setting/apConfig.bin"));
        QVERIFY(!fresh.resetGlobalSettings());
        QVERIFY(QFileInfo(folder.filePath("modules/setting/apConfig.bin")).isDir());
        QCOMPARE(fresh.globalData("common/name"), QVariant());
    }

    void listsRoundTrip()
    {
        // Written, read in the same run, read after a restart.
        const QVariantList texts{"a,b", " c", "d=e"};
        for (const auto &[written, sameRun, afterRestart] :
             {std::tuple{QVariant(QVariantList()), QVariantList(), QVariantList()},
              {QVariantList{1, 2, 3}, QVariantList{1, 2, 3}, QVariantList{"1", "2", "3"}},
              {texts, texts, texts},
              {QVariant(9), QVariantList(), QVariantList()}}) { // a single value is no list

            TestDataFolder folder;
            {
                SettingsStore store;
                if (written.typeId() == QMetaType::QVariantList)
                    store.setDataList("test/list", written.toList());
                else
                    store.setData("test/list", written);
                QCOMPARE(store.dataList("test/list", false), sameRun);
                QCOMPARE(store.dataList("no/such", false), QVariantList());
                // Factory single values are no lists either; a factory list is.
                QCOMPARE(store.dataList("mouse/reportRate", true), QVariantList());
                QCOMPARE(store.dataList("mouse/lightValue", true), (QVariantList{"0", "0", "4"}));
            }
            SettingsStore store;
            QCOMPARE(store.dataList("test/list", false), afterRestart);
        }
    }

    // Missing, empty, garbage, keys without values.
    void badFilesReadAsDefaults()
    {
        for (const QByteArray &content :
             {QByteArray(), QByteArray(""), QByteArray("\x00\xff\x01[[[=\n=\n\x7f\x80 ===", 17),
              QByteArray("[mouse]\nisGun\nicType\n[[\n")}) {
            const bool present = !content.isNull();
            TestDataFolder folder;
            for (const QString &file : {StorePaths::globalSettings, StorePaths::profile(0)}) {
                QFile::remove(folder.filePath(file));
                if (present)
                    folder.write(file, content);
            }
            SettingsStore store;
            QVERIFY(!store.deviceFlags().isGun && store.deviceFlags().icType.isEmpty());
            QVERIFY(!store.data("mouse/reportRate", false).isValid());
            QCOMPARE(store.dataList("mouse/dpiValueArray", false), QVariantList());
            // The default profile is untouched and still answers recovery reads.
            QCOMPARE(store.data("mouse/reportRate", true), QVariant(QStringLiteral("3")));
            store.setData("mouse/reportRate", 2);
            QCOMPARE(store.data("mouse/reportRate", false), QVariant(2));
        }
    }

    // A folder where the file should be makes every write fail, even for root.
    void failedWritesAreReportedAndRetried()
    {
        TestDataFolder folder;
        const QString global = folder.filePath(StorePaths::globalSettings);
        {
            SettingsStore store;
            QVERIFY(QFile::remove(global));
            QVERIFY(QDir().mkpath(global));
            QVERIFY(!store.setGlobalData("common/language", "ChineseSimplified"));
            QVERIFY(!store.sync());
            QCOMPARE(store.globalData("common/language"), QVariant("ChineseSimplified"));
            QVERIFY(store.setData("mouse/reportRate", 0));
            // The next write takes the pending change along.
            QVERIFY(QDir(global).removeRecursively());
            QVERIFY(store.setGlobalData("mouse/profileNo", 2));
            QVERIFY(store.sync());
            QVERIFY(folder.read(StorePaths::globalSettings).contains("language=ChineseSimplified"));

            QVERIFY(QFile::remove(global));
            QVERIFY(QDir().mkpath(global));
            QVERIFY(!store.setGlobalData("mouse/profileNo", 4));
            QVERIFY(QDir(global).removeRecursively());
        }
        // ... and so does closing the store at quit.
        QVERIFY(folder.read(StorePaths::globalSettings).contains("profileNo=4"));
        QVERIFY(folder.read(StorePaths::profile(0)).contains("reportRate=0"));
    }

    // Any Chinese locale reads the one Chinese file; every other one English.
    // A chosen language holds whatever the locale.
    void languageFollowsTheLocaleUntilChosen()
    {
        QStringList languages;
        for (const char *locale : {"zh_CN", "zh_TW", "en_US"})
            languages << SettingsStore::defaultLanguage(QLocale(locale));
        QCOMPARE(languages, (QStringList{"ChineseSimplified", "ChineseSimplified", "English"}));
        TestDataFolder folder;
        const QLocale before;
        QLocale::setDefault(QLocale("zh_TW"));
        SettingsStore store;
        QCOMPARE(store.globalData("common/language").toString(), "ChineseSimplified");
        store.setGlobalData("common/language", "Klingon");
        QLocale::setDefault(QLocale("en_US"));
        QCOMPARE(SettingsStore().globalData("common/language").toString(), "Klingon");
        QLocale::setDefault(before);
    }

    // Saves replace the file whole: a writer killed at any moment leaves the
    // old or the new content, never a mix or a cut.
    void killedWriterLeavesNoTornFile()
    {
        TestDataFolder folder;
        const QVariant rate =
            QSettings(folder.filePath(StorePaths::profile(0)), QSettings::IniFormat)
                .value("mouse/reportRate");
        QVERIFY(rate.isValid());
        qputenv(writerVariable, "1");
        for (int attempt = 0; attempt < 4; ++attempt) {
            QProcess writer;
            writer.setWorkingDirectory(folder.path());
            writer.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(writer.waitForStarted());
            QTest::qWait(20 + 50 * attempt);
            writer.kill();
            QVERIFY(writer.waitForFinished());
            const QSettings file(folder.filePath(StorePaths::profile(0)), QSettings::IniFormat);
            const QString pad = file.value("mouse/pad").toString();
            QVERIFY(pad.isEmpty() || pad == QString(padSize, pad.at(0)));
            QCOMPARE(file.value("mouse/reportRate"), rate);
        }
        qunsetenv(writerVariable);
    }

    // Each with the factory file it is rebuilt from.
    void damagedFilesAreSetAside()
    {
        for (const auto &[file, factory] :
             {std::pair{StorePaths::globalSettings, StorePaths::factoryGlobalSettings},
              {StorePaths::profile(2), StorePaths::defaultProfile},
              {StorePaths::defaultProfile, QString()}}) {
            TestDataFolder folder;
            // Sound settings, only too large to be real: read, they would count.
            const QByteArray damaged = "[mouse]\nicType=999\nreportRate=9\n[x]\n" +
                                       QByteArray(StorePaths::maxFileSize, 'x') + "=1\n";
            QVERIFY(QFile::remove(folder.filePath(file)));
            folder.write(file, damaged);
            {
                SettingsStore store;
                QCOMPARE(store.damagedFiles(), QStringList{file});
                store.setCurrentProfile(2);
                QVERIFY(store.deviceFlags().icType != "999" &&
                        store.data("mouse/reportRate", false) != QVariant("9") &&
                        store.data("mouse/reportRate", true) != QVariant("9"));
                store.setCurrentProfile(0);
                store.setData("mouse/dpiCount", 3);
                store.setGlobalData("mouse/profileNo", 1);
            }
            QCOMPARE(folder.read(file + ".damaged"), damaged);
            if (!factory.isEmpty()) {
                const QSettings now(folder.filePath(file), QSettings::IniFormat);
                const QSettings original(folder.filePath(factory), QSettings::IniFormat);
                QVERIFY(original.allKeys().size() > 3);
                for (const QString &key : original.allKeys()) {
                    if (key != "mouse/profileNo" && key != "mouse/dpiCount")
                        QCOMPARE(now.value(key), original.value(key));
                }
            }
            // Opened again, the store finds nothing damaged.
            SettingsStore store;
            QCOMPARE(store.damagedFiles(), QStringList());
        }
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(writerVariable))
        return writeForever();
    tst_SettingsStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_settingsstore.moc"
