#include "macrostore.h"
#include "scriptedfiledialogs.h"
#include "settingsstore.h"
#include "storepaths.h"
#include "testdatafolder.h"

#include <QDir>
#include <QSettings>
#include <QTest>

namespace {
QString macroFile(const QString &name)
{
    return QStringLiteral("modules/macro/") + name + QStringLiteral(".bin");
}

QVariantList record(std::initializer_list<const char *> values)
{
    QVariantList list;
    for (const char *value : values)
        list.append(QString::fromUtf8(value));
    return list;
}
} // namespace

class tst_MacroStore : public QObject
{
    Q_OBJECT

private slots:
    void createSaveAndLoad();
    void eventsRoundTrip_data();
    void eventsRoundTrip();
    void loadReadsDamagedFiles_data();
    void loadReadsDamagedFiles();
    void importNeverOverwrites();
    void cancelledOrEmptyExportLeavesTheTarget();
    void renameUpdatesProfilesOneToSix();
    void unassignRestoresMatchingButtons();
    void hostileNamesTouchNothing_data();
    void hostileNamesTouchNothing();
    void unportableNewNamesAreRefused_data();
    void unportableNewNamesAreRefused();
};

void tst_MacroStore::createSaveAndLoad()
{
    TestDataFolder folder;
    SettingsStore settings;
    MacroStore macros(settings);
    QVERIFY(!QDir(folder.filePath("modules/macro")).exists());
    // Only an existing macro can be saved or removed.
    QVERIFY(!macros.save("M", {"1,A"}, 1));
    QVERIFY(!QFile::exists(folder.filePath(macroFile("M"))));
    QCOMPARE(macros.load("M"), QStringList());
    QVERIFY(!macros.remove("M"));

    QVERIFY(macros.create("M", 0));
    QCOMPARE(macros.load("M"), QStringList{"1"});
    const QByteArray file = folder.read(macroFile("M"));
    for (const char *line : {"[config]", "index=0", "total=0", "repeat=1", "did=-1"})
        QVERIFY2(file.contains(line), line);

    // A shorter save leaves no stale events.
    QVERIFY(macros.save("M", {"1,A", "0,50", "2,A"}, 3));
    QVERIFY(macros.save("M", {"1,B", "2,B"}, 1));
    QCOMPARE(macros.load("M"), (QStringList{"1,B", "2,B", "1"}));
    const QByteArray saved = folder.read(macroFile("M"));
    QVERIFY(saved.contains("1=\"2,B\""));
    QVERIFY(!saved.contains("2="));
    QVERIFY(!saved.contains("A"));

    // Creating again resets the count; the old events are no longer loaded.
    QVERIFY(macros.create("M", 0));
    QCOMPARE(macros.load("M"), QStringList{"1"});
}

void tst_MacroStore::eventsRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QVariant>("repeat");
    QTest::addColumn<QString>("repeatText");

    QTest::newRow("press, pause, release")
        << "Macro_0" << QStringList{"1,A", "0,50", "2,A"} << QVariant(3) << "3";
    QTest::newRow("comma key") << "Macro_0" << QStringList{"1,,", "0,10", "2,,"} << QVariant(1)
                               << "1";
    QTest::newRow("punctuation keys")
        << "Macro_0"
        << QStringList{"1,;", "2,;", "1,=", "2,=", "1,\\", "2,\\", "1,'", "1,`", "1,[", "1,/"}
        << QVariant(65535) << "65535";
    QTest::newRow("mouse buttons")
        << "Macro_0" << QStringList{"3,MS-L", "0,120", "4,MS-L", "3,MS-B5"} << QVariant("2") << "2";
    QTest::newRow("non-ASCII names")
        << "宏 Überfall, 2" << QStringList{"1,►", "2,►", "1,Ü"} << QVariant(1) << "1";
    QTest::newRow("no events") << "Macro_0" << QStringList{} << QVariant(4) << "4";
}

void tst_MacroStore::eventsRoundTrip()
{
    QFETCH(QString, name);
    QFETCH(QStringList, events);
    QFETCH(QVariant, repeat);
    QFETCH(QString, repeatText);

    TestDataFolder folder;
    folder.write("exchange/out.mc", "previous export");
    {
        SettingsStore settings;
        MacroStore macros(settings);
        QVERIFY(macros.create(name, 0));
        QVERIFY(macros.save(name, events, repeat));
        QCOMPARE(macros.load(name), events + QStringList{repeatText});
        ScriptedFileDialogs dialogs({folder.filePath("exchange/out.mc")});
        macros.exportMacro(name, dialogs);
    }
    // The file alone, as a fresh program reads it; the export is a copy.
    const QByteArray content = folder.read(macroFile(name));
    QCOMPARE(folder.read("exchange/out.mc"), content);
    const QSettings file(folder.filePath(macroFile(name)), QSettings::IniFormat);
    QCOMPARE(file.value("config/total").toInt(), events.size());
    for (int i = 0; i < events.size(); ++i)
        QCOMPARE(file.value(QStringLiteral("macro/%1").arg(i)).toString(), events.at(i));

    // Renamed and removed after a restart.
    SettingsStore settings;
    MacroStore macros(settings);
    const QString renamed = name + QStringLiteral(" Ärger");
    QVERIFY(macros.rename(name, renamed));
    QCOMPARE(folder.read(macroFile(renamed)), content);
    QCOMPARE(macros.load(renamed), events + QStringList{repeatText});
    QVERIFY(macros.remove(renamed));
    QCOMPARE(QDir(folder.filePath("modules/macro")).entryList(QDir::Files), QStringList());
}

void tst_MacroStore::loadReadsDamagedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("loaded");
    QTest::newRow("missing events read as zero")
        << QByteArray("[config]\ntotal=3\n[macro]\n1=\"1,A\"\n")
        << QStringList{"0", "1,A", "0", "0"};
    QTest::newRow("huge count") << QByteArray("[config]\nrepeat=2\ntotal=2147483647\n")
                                << QStringList(MacroStore::maxEvents, "0") + QStringList{"2"};
    QTest::newRow("negative count")
        << QByteArray("[config]\nrepeat=2\ntotal=-5\n") << QStringList{"2"};
    QTest::newRow("count not a number")
        << QByteArray("[config]\nrepeat=2\ntotal=many\n") << QStringList{"2"};
}

void tst_MacroStore::loadReadsDamagedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, loaded);
    TestDataFolder folder;
    folder.write(macroFile("Bad"), content);
    SettingsStore settings;
    QCOMPARE(MacroStore(settings).load("Bad"), loaded);
}

void tst_MacroStore::importNeverOverwrites()
{
    TestDataFolder folder;
    folder.write("exchange/in.mc", "[config]\ntotal=1\nrepeat=7\n[macro]\n0=\"1,Q\"\n");
    QFile::setPermissions(folder.filePath("exchange/in.mc"), QFileDevice::ReadOwner);
    SettingsStore settings;
    MacroStore macros(settings);

    ScriptedFileDialogs dialogs({folder.filePath("exchange/in.mc")});
    QCOMPARE(macros.importMacro("Macro_1", dialogs), ImportResult::Imported);
    QCOMPARE(dialogs.asked, QStringList{"open Macro(*.mc)"});
    QCOMPARE(folder.read(macroFile("Macro_1")), folder.read("exchange/in.mc"));
    QCOMPARE(macros.load("Macro_1"), (QStringList{"1,Q", "7"}));
    // Imported from a read-only file, the macro can still be edited.
    QVERIFY(QFile::permissions(folder.filePath(macroFile("Macro_1"))) & QFileDevice::WriteOwner);
    QVERIFY(macros.save("Macro_1", {"1,R"}, 1));

    QVERIFY(macros.create("Macro_0", 0));
    const QByteArray existing = folder.read(macroFile("Macro_0"));
    ScriptedFileDialogs again({folder.filePath("exchange/in.mc")});
    QCOMPARE(macros.importMacro("Macro_0", again), ImportResult::Imported);
    QCOMPARE(folder.read(macroFile("Macro_0")), existing);

    // Cancelled, missing or over 1 MiB: nothing is created.
    ScriptedFileDialogs cancel;
    QCOMPARE(macros.importMacro("Macro_2", cancel), ImportResult::Cancelled);
    QCOMPARE(cancel.asked.size(), 1);
    ScriptedFileDialogs missing({folder.filePath("exchange/none.mc")});
    QCOMPARE(macros.importMacro("Macro_2", missing), ImportResult::Failed);
    folder.write("exchange/big.mc",
                 "[config]\ntotal=0\n" + QByteArray(StorePaths::maxFileSize, ' '));
    ScriptedFileDialogs big({folder.filePath("exchange/big.mc")});
    QCOMPARE(macros.importMacro("Macro_2", big), ImportResult::TooLarge);
    QCOMPARE(QDir(folder.filePath("modules/macro")).entryList(QDir::Files),
             (QStringList{"Macro_0.bin", "Macro_1.bin"}));
}

void tst_MacroStore::cancelledOrEmptyExportLeavesTheTarget()
{
    TestDataFolder folder;
    folder.write("exchange/out.mc", "previous export");
    SettingsStore settings;
    MacroStore macros(settings);
    QVERIFY(macros.create("M", 0));
    ScriptedFileDialogs cancel;
    macros.exportMacro("M", cancel);
    QCOMPARE(cancel.asked, QStringList{"save Macro(*.mc)"});
    // Nothing to export: no dialog.
    ScriptedFileDialogs none({folder.filePath("exchange/out.mc")});
    macros.exportMacro("Absent", none);
    QVERIFY(none.asked.isEmpty());
    QCOMPARE(folder.read("exchange/out.mc"), QByteArray("previous export"));
    // Typed without a suffix, the export gets the one the import offers.
    ScriptedFileDialogs bare({folder.filePath("exchange/mine")});
    macros.exportMacro("M", bare);
    QCOMPARE(folder.read("exchange/mine.mc"), folder.read(macroFile("M")));
}

void tst_MacroStore::renameUpdatesProfilesOneToSix()
{
    TestDataFolder folder;
    {
        SettingsStore settings;
        for (int p = 0; p < StorePaths::profileCount; ++p) {
            settings.setCurrentProfile(p);
            settings.setData("mouseMacroKey/0", "A");
            settings.setData("mouseMacroKey/2", "Other");
        }
        settings.setCurrentProfile(3);
        settings.setData("mouseMacroKey/5", "A");
        MacroStore macros(settings);
        QVERIFY(macros.create("A", 0));
        QVERIFY(macros.save("A", {"1,A"}, 1));
    }
    const QByteArray content = folder.read(macroFile("A"));
    {
        SettingsStore settings;
        QVERIFY(MacroStore(settings).rename("A", "B"));
    }
    SettingsStore settings;
    for (int p = 0; p < StorePaths::profileCount; ++p) {
        settings.setCurrentProfile(p);
        QCOMPARE(settings.data("mouseMacroKey/0", false), QVariant(p < 6 ? "B" : "A"));
        QCOMPARE(settings.data("mouseMacroKey/2", false), QVariant("Other"));
    }
    settings.setCurrentProfile(3);
    QCOMPARE(settings.data("mouseMacroKey/5", false), QVariant("B"));
    QVERIFY(!QFile::exists(folder.filePath(macroFile("A"))));
    QCOMPARE(folder.read(macroFile("B")), content);

    // Renaming a missing macro, or onto an existing one, changes nothing.
    MacroStore macros(settings);
    QVERIFY(macros.create("C", 0));
    settings.setData("mouseMacroKey/1", "Gone");
    settings.sync();
    const QMap<QString, QByteArray> before = folder.snapshot();
    QVERIFY(!macros.rename("Gone", "New"));
    settings.sync();
    QCOMPARE(folder.snapshot(), before);
    QVERIFY(!macros.rename("B", "C"));
    settings.sync();
    QCOMPARE(folder.snapshot().value(macroFile("B")), content);
    QCOMPARE(folder.snapshot().value(macroFile("C")), before.value(macroFile("C")));
    QCOMPARE(folder.snapshot(), before);
}

void tst_MacroStore::unassignRestoresMatchingButtons()
{
    TestDataFolder folder;
    {
        SettingsStore settings;
        for (int p : {0, 4, 7}) {
            settings.setCurrentProfile(p);
            settings.setDataList("mouseKeyMatrix/2", {4, 0, 3, 0});
            settings.setData("mouseMacroKey/3", "A");
            settings.setDataList("mouseKeyMatrix/5", {4, 0, 1, 0});
            settings.setData("mouseMacroKey/1", "B");
            // Slot 3 named A, but the button is no macro.
            settings.setDataList("mouseKeyMatrix/6", {0, 0, 3, 0});
        }
        settings.setCurrentProfile(0);
        settings.setDataList("mouseKeyMatrix/9", {4}); // short: slot 0
        settings.setData("mouseMacroKey/0", "A");
        settings.setDataList("mouseKeyMatrix/10", {4, 0, 0});
    }
    {
        // After a restart every value is text.
        SettingsStore settings;
        MacroStore(settings).unassign("A");
    }
    SettingsStore settings;
    const QVariantList factory2 = settings.dataList("mouseKeyMatrix/2", true);
    QCOMPARE(factory2, record({"0", "0", "242", "0"}));
    for (int p : {0, 4}) {
        settings.setCurrentProfile(p);
        QCOMPARE(settings.dataList("mouseKeyMatrix/2", false), factory2);
        QCOMPARE(settings.dataList("mouseKeyMatrix/5", false), record({"4", "0", "1", "0"}));
        QCOMPARE(settings.dataList("mouseKeyMatrix/6", false), record({"0", "0", "3", "0"}));
        QCOMPARE(settings.data("mouseMacroKey/3", false), QVariant("A"));
    }
    settings.setCurrentProfile(0);
    QCOMPARE(settings.dataList("mouseKeyMatrix/9", false),
             settings.dataList("mouseKeyMatrix/9", true));
    QCOMPARE(settings.dataList("mouseKeyMatrix/10", false),
             settings.dataList("mouseKeyMatrix/10", true));
    settings.setCurrentProfile(7);
    QCOMPARE(settings.dataList("mouseKeyMatrix/2", false), record({"4", "0", "3", "0"}));
}

void tst_MacroStore::hostileNamesTouchNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("dot") << QStringLiteral(".");
    QTest::newRow("dot dot") << QStringLiteral("..");
    QTest::newRow("up into settings") << QStringLiteral("../setting/p1");
    QTest::newRow("up, backslashes") << QStringLiteral("..\\setting\\p1");
    QTest::newRow("absolute") << QStringLiteral("/tmp/skarn-escape");
    QTest::newRow("separator") << QStringLiteral("a/b");
    QTest::newRow("newline") << QStringLiteral("a\nb");
    QTest::newRow("nul") << QString(QChar(0)) + QStringLiteral("x");
    QTest::newRow("delete character") << QStringLiteral("a\x7f");
}

void tst_MacroStore::hostileNamesTouchNothing()
{
    QFETCH(QString, name);
    TestDataFolder folder;
    folder.write("exchange/in.mc", "[config]\ntotal=0\n");
    folder.write(macroFile("Good"), "[config]\ntotal=0\nrepeat=1\n");
    {
        SettingsStore settings;
        settings.setData("mouseMacroKey/0", "Good");
        // A button playing a macro under the hostile name.
        settings.setData("mouseMacroKey/1", name);
        settings.setDataList("mouseKeyMatrix/2", {4, 0, 1, 0});
        settings.sync();
        const QMap<QString, QByteArray> prepared = folder.snapshot();

        MacroStore macros(settings);
        ScriptedFileDialogs dialogs({folder.filePath("exchange/in.mc"), "x", "y"});
        QVERIFY(!macros.create(name, 0));
        QVERIFY(!macros.save(name, {"1,A"}, 1));
        QCOMPARE(macros.load(name), QStringList());
        QVERIFY(!macros.remove(name));
        QCOMPARE(macros.importMacro(name, dialogs), ImportResult::Failed);
        macros.exportMacro(name, dialogs);
        QVERIFY(dialogs.asked.isEmpty());
        QVERIFY(!macros.rename(name, "Fresh"));
        QVERIFY(!macros.rename("Good", name));
        macros.unassign(name);
        settings.sync();
        QCOMPARE(folder.snapshot(), prepared);
        QCOMPARE(settings.data("mouseMacroKey/0", false), QVariant("Good"));
    }
    QVERIFY(!QFile::exists("/tmp/skarn-escape.bin"));
}

void tst_MacroStore::unportableNewNamesAreRefused_data()
{
    QTest::addColumn<QString>("name");
    // Dropped from a one-entry name list on read: the macro would vanish.
    QTest::newRow("name list sentinel") << QStringLiteral("loaderbraxel");
    QTest::newRow("65 characters") << QString(65, QLatin1Char('m'));
    for (const char *c : {":", "*", "?", "\"", "<", ">", "|"})
        QTest::newRow(c) << QStringLiteral("a%1b").arg(QLatin1String(c));
}

// Names an existing macro may have but a new one may not take.
void tst_MacroStore::unportableNewNamesAreRefused()
{
    QFETCH(QString, name);
    TestDataFolder folder;
    folder.write("exchange/in.mc", "[config]\ntotal=0\n");
    SettingsStore settings;
    MacroStore macros(settings);
    QVERIFY(macros.create("Good", 0));
    QVERIFY(macros.create(QString(64, QLatin1Char('m')), 0));
    settings.setData("mouseMacroKey/0", "Good");
    const QMap<QString, QByteArray> before = folder.snapshot();
    ScriptedFileDialogs dialogs({folder.filePath("exchange/in.mc")});
    QVERIFY(!macros.create(name, 0));
    QCOMPARE(macros.importMacro(name, dialogs), ImportResult::Failed);
    QVERIFY(!macros.rename("Good", name));
    QCOMPARE(folder.snapshot(), before);
}

QTEST_GUILESS_MAIN(tst_MacroStore)
#include "tst_macrostore.moc"
