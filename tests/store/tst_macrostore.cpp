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
    void eventsRoundTrip()
    {
        // Events, repeat (loaded back as its text), name.
        for (const auto &[events, repeat, name] :
             {std::tuple{QStringList{"1,A", "0,50", "2,A"}, QVariant(3), QString("Macro_0")},
              {QStringList{"1,,", "0,10", "2,,"}, 1, "Macro_0"}, // the comma key
              {QStringList{"1,;", "2,;", "1,=", "2,=", "1,\\", "2,\\", "1,'", "1,`", "1,[", "1,/"},
               65535, "Macro_0"},
              {QStringList{"3,MS-L", "0,120", "4,MS-L", "3,MS-B5"}, "2", "Macro_0"},
              {QStringList{"1,►", "2,►", "1,Ü"}, 1, "宏 Überfall, 2"},
              {QStringList(), 4, "Macro_0"}}) {
            const QString repeatText = repeat.toString();

            TestDataFolder folder;
            folder.write("out.mc", "previous export");
            {
                SettingsStore settings;
                MacroStore macros(settings);
                // Only an existing macro can be saved or removed.
                ScriptedFileDialogs dialogs({QString(), folder.filePath("out")});
                macros.exportMacro(name, dialogs);
                QVERIFY(!macros.save(name, events, repeat) && !macros.remove(name));
                QCOMPARE(macros.load(name), QStringList());
                QVERIFY(!QDir("modules/macro").exists() && dialogs.asked.isEmpty());
                QVERIFY(macros.create(name, 0));
                QCOMPARE(macros.load(name), QStringList{"1"});
                // A shorter save leaves no stale events.
                QVERIFY(macros.save(name, QStringList(40, "0,10"), 9));
                QVERIFY(macros.save(name, events, repeat));
                QCOMPARE(macros.load(name), events + QStringList{repeatText});
                // Cancelled, then typed without a suffix: the export gets the one
                // the import offers.
                macros.exportMacro(name, dialogs);
                QCOMPARE(folder.read("out.mc"), QByteArray("previous export"));
                macros.exportMacro(name, dialogs);
                QCOMPARE(dialogs.asked, QStringList(2, "save Macro(*.mc)"));
            }
            // The file alone, as a fresh program reads it; the export is a copy.
            const QByteArray content = folder.read(macroFile(name));
            QCOMPARE(folder.read("out.mc"), content);
            QSettings file(folder.filePath(macroFile(name)), QSettings::IniFormat);
            QStringList stored;
            for (const char *key : {"config/index", "config/total", "config/repeat", "config/did"})
                stored << file.value(key).toString();
            file.beginGroup("macro");
            QCOMPARE(file.childKeys().size(), events.size());
            for (int i = 0; i < events.size(); ++i)
                stored << file.value(QString::number(i)).toString();
            QCOMPARE(stored,
                     QStringList({"0", QString::number(events.size()), repeatText, "-1"}) + events);

            // Renamed and removed after a restart; created again, it starts empty.
            SettingsStore settings;
            MacroStore macros(settings);
            const QString renamed = name + QStringLiteral(" Ärger");
            QVERIFY(macros.rename(name, renamed));
            QCOMPARE(folder.read(macroFile(renamed)), content);
            QCOMPARE(macros.load(renamed), events + QStringList{repeatText});
            QVERIFY(macros.create(renamed, 0) && macros.load(renamed) == QStringList{"1"});
            QVERIFY(macros.remove(renamed));
            QCOMPARE(QDir("modules/macro").entryList(QDir::Files), QStringList());
        }
    }

    void loadReadsDamagedFiles()
    {
        const std::pair<QByteArray, QStringList> rows[] = {
            {"[config]\ntotal=3\n[macro]\n1=\"1,A\"\n", {"0", "1,A", "0", "0"}},
            {"[config]\nrepeat=2\ntotal=2147483647\n",
             QStringList(MacroStore::maxEvents, "0") + QStringList{"2"}},
            {"[config]\nrepeat=2\ntotal=-5\n", {"2"}},
            {"[config]\nrepeat=2\ntotal=many\n", {"2"}}};
        // Missing events read as zero; a huge, negative or unreadable count.
        for (const auto &[content, loaded] : rows) {
            TestDataFolder folder;
            folder.write(macroFile("Bad"), content);
            SettingsStore settings;
            QCOMPARE(MacroStore(settings).load("Bad"), loaded);
        }
    }

    void importNeverOverwrites()
    {
        const struct
        {
            QString picked, name;
            ImportResult result;
            QStringList loaded;
        } rows[] = {{"in.mc", "Macro_1", ImportResult::Imported, {"1,Q", "7"}},
                    {"in.mc", "Macro_0", ImportResult::Imported, {"1"}}, // onto an existing one
                    {"", "Macro_1", ImportResult::Cancelled, {}},
                    {"none.mc", "Macro_1", ImportResult::Failed, {}},
                    {"big.mc", "Macro_1", ImportResult::TooLarge, {}}};
        for (const auto &[picked, name, result, loaded] : rows) {
            TestDataFolder folder;
            folder.write("in.mc", "[config]\ntotal=1\nrepeat=7\n[macro]\n0=\"1,Q\"\n");
            QFile::setPermissions(folder.filePath("in.mc"), QFileDevice::ReadOwner);
            if (picked == "big.mc")
                folder.write(picked,
                             "[config]\ntotal=0\n" + QByteArray(StorePaths::maxFileSize, ' '));
            SettingsStore settings;
            MacroStore macros(settings);
            QVERIFY(macros.create("Macro_0", 0));
            const QMap<QString, QByteArray> before = folder.snapshot();
            ScriptedFileDialogs dialogs({picked.isEmpty() ? QString() : folder.filePath(picked)});
            QCOMPARE(macros.importMacro(name, dialogs), result);
            QCOMPARE(dialogs.asked, QStringList{"open Macro(*.mc)"});
            QCOMPARE(macros.load(name), loaded);
            QMap<QString, QByteArray> expected = before;
            if (name == "Macro_1" && result == ImportResult::Imported)
                expected.insert(macroFile(name), before.value("in.mc"));
            QCOMPARE(folder.snapshot(), expected);
            // Imported from a read-only file, the macro can still be edited.
            if (!loaded.isEmpty())
                QVERIFY(QFile::permissions(macroFile(name)) & QFileDevice::WriteOwner);
        }
    }

    void renameUpdatesProfilesOneToSix()
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
        QMap<QString, QByteArray> expected = folder.snapshot();
        expected.insert(macroFile("B"), expected.take(macroFile("A")));
        for (int p = 0; p < 6; ++p)
            expected[StorePaths::profile(p).mid(2)].replace("\n0=A\n", "\n0=B\n");
        expected[StorePaths::profile(3).mid(2)].replace("\n5=A\n", "\n5=B\n");
        SettingsStore settings;
        MacroStore macros(settings);
        QVERIFY(macros.rename("A", "B"));
        settings.sync();
        QCOMPARE(folder.snapshot(), expected);

        // Renaming a missing macro, or onto an existing one, changes nothing.
        QVERIFY(macros.create("C", 0));
        settings.setData("mouseMacroKey/1", "Gone");
        settings.sync();
        const QMap<QString, QByteArray> before = folder.snapshot();
        QVERIFY(!macros.rename("Gone", "New"));
        QVERIFY(!macros.rename("B", "C"));
        settings.sync();
        QCOMPARE(folder.snapshot(), before);
    }

    void unassignRestoresMatchingButtons()
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
            QCOMPARE((QVariantList{settings.dataList("mouseKeyMatrix/2", false),
                                   settings.dataList("mouseKeyMatrix/5", false),
                                   settings.dataList("mouseKeyMatrix/6", false),
                                   settings.data("mouseMacroKey/3", false)}),
                     (QVariantList{factory2, record({"4", "0", "1", "0"}),
                                   record({"0", "0", "3", "0"}), "A"}));
        }
        settings.setCurrentProfile(0);
        for (const char *key : {"mouseKeyMatrix/9", "mouseKeyMatrix/10"})
            QCOMPARE(settings.dataList(key, false), settings.dataList(key, true));
        settings.setCurrentProfile(7);
        QCOMPARE(settings.dataList("mouseKeyMatrix/2", false), record({"4", "0", "3", "0"}));
    }

    void refusedNamesTouchNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("hostile"); // otherwise a name only a new macro may not take
        const auto hostile = [](const char *row, const QString &name) {
            QTest::newRow(row) << name << true;
        };
        hostile("empty", QString());
        hostile("dot", ".");
        hostile("dot dot", "..");
        hostile("up into settings", "../setting/p1");
        hostile("up, backslashes", "..\\setting\\p1");
        hostile("absolute", "/tmp/skarn-escape");
        hostile("separator", "a/b");
        hostile("newline", "a\nb");
        hostile("nul", QString(QChar(0)) + QStringLiteral("x"));
        hostile("delete character", "a\x7f");
        // Dropped from a one-entry name list on read: the macro would vanish.
        QTest::newRow("name list sentinel") << QStringLiteral("loaderbraxel") << false;
        QTest::newRow("65 characters") << QString(65, QLatin1Char('m')) << false;
        for (const char *c : {":", "*", "?", "\"", "<", ">", "|"})
            QTest::newRow(c) << QStringLiteral("a%1b").arg(QLatin1String(c)) << false;
    }

    void refusedNamesTouchNothing()
    {
        QFETCH(QString, name);
        QFETCH(bool, hostile);
        TestDataFolder folder;
        folder.write("in.mc", "[config]\ntotal=0\n");
        SettingsStore settings;
        MacroStore macros(settings);
        QVERIFY(macros.create("Good", 0));
        QVERIFY(macros.create(QString(64, QLatin1Char('m')), 0));
        settings.setData("mouseMacroKey/0", "Good");
        // A button playing a macro under the name.
        settings.setData("mouseMacroKey/1", name);
        settings.setDataList("mouseKeyMatrix/2", {4, 0, 1, 0});
        settings.sync();
        const QMap<QString, QByteArray> before = folder.snapshot();

        ScriptedFileDialogs dialogs({folder.filePath("in.mc"), "x", "y"});
        QVERIFY(!macros.create(name, 0));
        QCOMPARE(macros.importMacro(name, dialogs), ImportResult::Failed);
        QVERIFY(!macros.rename("Good", name));
        if (hostile) {
            QVERIFY(!macros.save(name, {"1,A"}, 1));
            QCOMPARE(macros.load(name), QStringList());
            QVERIFY(!macros.remove(name));
            macros.exportMacro(name, dialogs);
            QVERIFY(dialogs.asked.isEmpty());
            QVERIFY(!macros.rename(name, "Fresh"));
            macros.unassign(name);
        }
        settings.sync();
        QCOMPARE(folder.snapshot(), before);
        QVERIFY(!QFile::exists("/tmp/skarn-escape.bin"));
    }
};

QTEST_GUILESS_MAIN(tst_MacroStore)
#include "tst_macrostore.moc"
