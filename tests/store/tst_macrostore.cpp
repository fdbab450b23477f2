#include "macrostore.h"
#include "scriptedfiledialogs.h"
#include "settingsstore.h"
#include "storepaths.h"
#include "testdatafolder.h"

#include <QDir>
#include <QDirIterator>
#include <QSettings>
#include <QTest>
#include <memory>

namespace {
QString macroFile(const QString &name)
{
    return QStringLiteral("modules/macro/") + name + QStringLiteral(".bin");
}

// Every file below the data folder with its content.
QMap<QString, QByteArray> snapshot(const TestDataFolder &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = QDir(folder.path()).relativeFilePath(it.next());
        files.insert(relative, folder.read(relative));
    }
    return files;
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
    void createdMacroLoadsAsRepeatCountOnly();
    void eventsRoundTrip_data();
    void eventsRoundTrip();
    void shorterSaveLeavesNoStaleEvents();
    void saveNeedsAnExistingMacro();
    void loadReadsMissingEventsAsZero();
    void loadIsBoundedByCorruptCounts_data();
    void loadIsBoundedByCorruptCounts();
    void nonAsciiNames();
    void importNeverOverwrites();
    void importFailuresCreateNothing();
    void exportReplacesTheTarget();
    void renameUpdatesProfilesOneToSix();
    void renameFailures();
    void unassignRestoresMatchingButtons();
    void hostileNamesTouchNothing_data();
    void hostileNamesTouchNothing();
};

void tst_MacroStore::createdMacroLoadsAsRepeatCountOnly()
{
    TestDataFolder folder;
    SettingsStore settings;
    MacroStore macros(settings);
    QVERIFY(!QDir(folder.filePath("modules/macro")).exists());
    QVERIFY(macros.create("M", 0));
    QCOMPARE(macros.load("M"), QStringList{"1"});
    const QByteArray file = folder.read(macroFile("M"));
    for (const char *line : {"[config]", "index=0", "total=0", "repeat=1", "did=-1"})
        QVERIFY2(file.contains(line), line);

    // Creating again resets the count; the old events are no longer loaded.
    QVERIFY(macros.save("M", {"1,A", "2,A"}, 5));
    QVERIFY(macros.create("M", 0));
    QCOMPARE(macros.load("M"), QStringList{"1"});
}

void tst_MacroStore::eventsRoundTrip_data()
{
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QVariant>("repeat");
    QTest::addColumn<QString>("repeatText");

    QTest::newRow("press, pause, release")
        << QStringList{"1,A", "0,50", "2,A"} << QVariant(3) << QStringLiteral("3");
    QTest::newRow("comma key") << QStringList{"1,,", "0,10", "2,,"} << QVariant(1)
                               << QStringLiteral("1");
    QTest::newRow("punctuation keys")
        << QStringList{"1,;", "2,;", "1,=", "2,=", "1,\\", "2,\\", "1,'", "1,`", "1,[", "1,/"}
        << QVariant(65535) << QStringLiteral("65535");
    QTest::newRow("mouse buttons") << QStringList{"3,MS-L", "0,120", "4,MS-L", "3,MS-B5"}
                                   << QVariant("2") << QStringLiteral("2");
    QTest::newRow("non-ASCII key names")
        << QStringList{"1,►", "2,►", "1,▲"} << QVariant(1) << QStringLiteral("1");
    QTest::newRow("no events") << QStringList{} << QVariant(4) << QStringLiteral("4");
}

void tst_MacroStore::eventsRoundTrip()
{
    QFETCH(QStringList, events);
    QFETCH(QVariant, repeat);
    QFETCH(QString, repeatText);

    TestDataFolder folder;
    {
        SettingsStore settings;
        MacroStore macros(settings);
        QVERIFY(macros.create("Macro_0", 0));
        QVERIFY(macros.save("Macro_0", events, repeat));
        QCOMPARE(macros.load("Macro_0"), events + QStringList{repeatText});
    }
    // The file alone, as a fresh program reads it.
    const QSettings file(folder.filePath(macroFile("Macro_0")), QSettings::IniFormat);
    QCOMPARE(file.value("config/total").toInt(), events.size());
    for (int i = 0; i < events.size(); ++i)
        QCOMPARE(file.value(QStringLiteral("macro/%1").arg(i)).toString(), events.at(i));
}

void tst_MacroStore::shorterSaveLeavesNoStaleEvents()
{
    TestDataFolder folder;
    SettingsStore settings;
    MacroStore macros(settings);
    QVERIFY(macros.create("M", 0));
    QVERIFY(macros.save("M", {"1,A", "0,50", "2,A"}, 3));
    QVERIFY(macros.save("M", {"1,B", "2,B"}, 1));
    QCOMPARE(macros.load("M"), (QStringList{"1,B", "2,B", "1"}));
    const QByteArray file = folder.read(macroFile("M"));
    QVERIFY(file.contains("1=\"2,B\""));
    QVERIFY(!file.contains("2="));
    QVERIFY(!file.contains("A"));
}

void tst_MacroStore::saveNeedsAnExistingMacro()
{
    TestDataFolder folder;
    SettingsStore settings;
    QVERIFY(!MacroStore(settings).save("Nobody", {"1,A"}, 1));
    QVERIFY(!QFile::exists(folder.filePath(macroFile("Nobody"))));
    QCOMPARE(MacroStore(settings).load("Nobody"), QStringList());
    QVERIFY(!MacroStore(settings).remove("Nobody"));
}

void tst_MacroStore::loadReadsMissingEventsAsZero()
{
    TestDataFolder folder;
    folder.write(macroFile("Gappy"), "[config]\ntotal=3\n[macro]\n1=\"1,A\"\n");
    SettingsStore settings;
    QCOMPARE(MacroStore(settings).load("Gappy"), (QStringList{"0", "1,A", "0", "0"}));
}

void tst_MacroStore::loadIsBoundedByCorruptCounts_data()
{
    QTest::addColumn<QByteArray>("total");
    QTest::addColumn<int>("size");
    QTest::newRow("huge") << QByteArray("2147483647") << MacroStore::maxEvents + 1;
    QTest::newRow("negative") << QByteArray("-5") << 1;
    QTest::newRow("not a number") << QByteArray("many") << 1;
}

void tst_MacroStore::loadIsBoundedByCorruptCounts()
{
    QFETCH(QByteArray, total);
    QFETCH(int, size);
    TestDataFolder folder;
    folder.write(macroFile("Bad"), "[config]\nrepeat=2\ntotal=" + total + "\n");
    SettingsStore settings;
    const QStringList loaded = MacroStore(settings).load("Bad");
    QCOMPARE(loaded.size(), size);
    QCOMPARE(loaded.last(), QStringLiteral("2"));
}

void tst_MacroStore::nonAsciiNames()
{
    TestDataFolder folder;
    const QString name = QStringLiteral("宏 Überfall, 2");
    folder.write("exchange/old.mc", "old");
    {
        SettingsStore settings;
        MacroStore macros(settings);
        QVERIFY(macros.create(name, 0));
        QVERIFY(macros.save(name, {"1,Ü"}, 2));
        ScriptedFileDialogs dialogs({folder.filePath("exchange/old.mc")});
        macros.exportMacro(name, dialogs);
    }
    QVERIFY(QFile::exists(folder.filePath(macroFile(name))));
    QCOMPARE(folder.read("exchange/old.mc"), folder.read(macroFile(name)));
    SettingsStore settings;
    MacroStore macros(settings);
    QCOMPARE(macros.load(name), (QStringList{"1,Ü", "2"}));
    QVERIFY(macros.rename(name, QStringLiteral("Ärger")));
    QCOMPARE(macros.load(QStringLiteral("Ärger")), (QStringList{"1,Ü", "2"}));
    QVERIFY(macros.remove(QStringLiteral("Ärger")));
    QCOMPARE(QDir(folder.filePath("modules/macro")).entryList(QDir::Files), QStringList());
}

void tst_MacroStore::importNeverOverwrites()
{
    TestDataFolder folder;
    folder.write("exchange/in.mc", "[config]\ntotal=1\nrepeat=7\n[macro]\n0=\"1,Q\"\n");
    QFile::setPermissions(folder.filePath("exchange/in.mc"), QFileDevice::ReadOwner);
    SettingsStore settings;
    MacroStore macros(settings);

    ScriptedFileDialogs dialogs({folder.filePath("exchange/in.mc")});
    QVERIFY(macros.importMacro("Macro_1", dialogs));
    QCOMPARE(dialogs.asked, QStringList{"open Macro(*.mc)"});
    QCOMPARE(folder.read(macroFile("Macro_1")), folder.read("exchange/in.mc"));
    QCOMPARE(macros.load("Macro_1"), (QStringList{"1,Q", "7"}));
    // Imported from a read-only file, the macro can still be edited.
    QVERIFY(QFile::permissions(folder.filePath(macroFile("Macro_1"))) & QFileDevice::WriteOwner);
    QVERIFY(macros.save("Macro_1", {"1,R"}, 1));

    QVERIFY(macros.create("Macro_0", 0));
    const QByteArray existing = folder.read(macroFile("Macro_0"));
    ScriptedFileDialogs again({folder.filePath("exchange/in.mc")});
    QVERIFY(macros.importMacro("Macro_0", again));
    QCOMPARE(folder.read(macroFile("Macro_0")), existing);
    QCOMPARE(QDir(folder.filePath("modules/macro")).entryList(QDir::Files),
             (QStringList{"Macro_0.bin", "Macro_1.bin"}));
}

void tst_MacroStore::importFailuresCreateNothing()
{
    TestDataFolder folder;
    SettingsStore settings;
    MacroStore macros(settings);
    ScriptedFileDialogs cancel;
    QVERIFY(!macros.importMacro("Macro_0", cancel));
    QCOMPARE(cancel.asked.size(), 1);
    ScriptedFileDialogs missing({folder.filePath("exchange/none.mc")});
    QVERIFY(!macros.importMacro("Macro_0", missing));
    QVERIFY(!QFile::exists(folder.filePath(macroFile("Macro_0"))));
}

void tst_MacroStore::exportReplacesTheTarget()
{
    TestDataFolder folder;
    folder.write("exchange/out.mc", "previous export");
    SettingsStore settings;
    MacroStore macros(settings);
    QVERIFY(macros.create("M", 0));
    QVERIFY(macros.save("M", {"1,A", "2,A"}, 1));

    ScriptedFileDialogs cancel;
    macros.exportMacro("M", cancel);
    QCOMPARE(cancel.asked, QStringList{"save Macro(*.mc)"});
    QCOMPARE(folder.read("exchange/out.mc"), QByteArray("previous export"));

    ScriptedFileDialogs dialogs({folder.filePath("exchange/out.mc")});
    macros.exportMacro("M", dialogs);
    QCOMPARE(folder.read("exchange/out.mc"), folder.read(macroFile("M")));

    // Nothing to export: no dialog, nothing replaced.
    folder.write("exchange/keep.mc", "keep");
    ScriptedFileDialogs none({folder.filePath("exchange/keep.mc")});
    macros.exportMacro("Absent", none);
    QVERIFY(none.asked.isEmpty());
    QCOMPARE(folder.read("exchange/keep.mc"), QByteArray("keep"));
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
}

void tst_MacroStore::renameFailures()
{
    TestDataFolder folder;
    SettingsStore settings;
    settings.setData("mouseMacroKey/1", "Gone");
    MacroStore macros(settings);
    QVERIFY(!macros.rename("Gone", "New"));
    QCOMPARE(settings.data("mouseMacroKey/1", false), QVariant("Gone"));

    // A rename onto an existing macro fails and keeps both files.
    QVERIFY(macros.create("A", 0));
    QVERIFY(macros.create("C", 0));
    QVERIFY(macros.save("C", {"1,C"}, 1));
    const QByteArray a = folder.read(macroFile("A"));
    const QByteArray c = folder.read(macroFile("C"));
    QVERIFY(!macros.rename("A", "C"));
    QCOMPARE(folder.read(macroFile("A")), a);
    QCOMPARE(folder.read(macroFile("C")), c);
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
        const QMap<QString, QByteArray> prepared = snapshot(folder);

        MacroStore macros(settings);
        ScriptedFileDialogs dialogs({folder.filePath("exchange/in.mc"), "x", "y"});
        QVERIFY(!macros.create(name, 0));
        QVERIFY(!macros.save(name, {"1,A"}, 1));
        QCOMPARE(macros.load(name), QStringList());
        QVERIFY(!macros.remove(name));
        QVERIFY(!macros.importMacro(name, dialogs));
        macros.exportMacro(name, dialogs);
        QVERIFY(dialogs.asked.isEmpty());
        QVERIFY(!macros.rename(name, "Fresh"));
        QVERIFY(!macros.rename("Good", name));
        macros.unassign(name);
        settings.sync();
        QCOMPARE(snapshot(folder), prepared);
        QCOMPARE(settings.data("mouseMacroKey/0", false), QVariant("Good"));
    }
    QVERIFY(!QFile::exists("/tmp/skarn-escape.bin"));
}

QTEST_GUILESS_MAIN(tst_MacroStore)
#include "tst_macrostore.moc"
