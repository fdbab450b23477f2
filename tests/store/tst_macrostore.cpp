#include "macrostore.h"
#include "scriptedfiledialogs.h"
#include "settingsstore.h"
#include "storepaths.h"
#include "testdatafolder.h"

#include <QDir>
#include <QTest>
#include <sys/stat.h>

static QString macroFile(const QString &name)
{
    return QStringLiteral("modules/macro/") + name + QStringLiteral(".bin");
}

class tst_MacroStore : public QObject
{
    Q_OBJECT

private slots:
    void eventsRoundTrip()
    {
        for (const auto &[events, repeat, name] :
             {std::tuple{QStringList{"1,,", "3,MS-L", "0,120", "4,MS-L", "1,►", "2,\\"},
                         QVariant("2"), QString("宏 Überfall, 2")},
              {QStringList(), 65535, "Macro_0"}}) {
            TestDataFolder folder;
            {
                SettingsStore settings(QDir::currentPath());
                MacroStore macros(settings);
                // Only an existing macro can be saved or removed.
                ScriptedFileDialogs dialogs({folder.filePath("out")});
                QVERIFY(!macros.save(name, events, repeat) && !macros.remove(name) &&
                        macros.load(name).isEmpty() && !QDir("modules/macro").exists());
                QVERIFY(macros.create(name, 0) && macros.load(name) == QStringList{"1"});
                // A shorter save leaves no stale events.
                QVERIFY(macros.save(name, QStringList(40, "0,10"), 9) &&
                        macros.save(name, events, repeat));
                // The export goes where it was asked to, as a copy.
                macros.exportMacro(name, dialogs);
                QCOMPARE(dialogs.asked, QStringList{"save Macro(*.mc)"});
            }
            QCOMPARE(folder.read("out"), folder.read(macroFile(name)));
            SettingsStore settings(QDir::currentPath());
            MacroStore macros(settings);
            QCOMPARE(macros.load(name), events + QStringList{repeat.toString()}); // as text
            QVERIFY(macros.remove(name) && QDir("modules/macro").isEmpty());
        }
    }

    // Typed in a dialog without a suffix, an export gets the one the import
    // offers, so that it shows up there.
    void exportsGetTheFilterSuffix()
    {
        QCOMPARE((QStringList{FileDialogs::withFilterSuffix("out", MacroStore::fileFilter),
                              FileDialogs::withFilterSuffix("a/out", "Profile(*.pf)"),
                              FileDialogs::withFilterSuffix("out.txt", MacroStore::fileFilter),
                              FileDialogs::withFilterSuffix("", MacroStore::fileFilter)}),
                 (QStringList{"out.mc", "a/out.pf", "out.txt", ""}));
    }

    // Missing events read as zero; a huge, negative or unreadable count.
    void loadReadsDamagedFiles()
    {
        const QByteArray config = "[config]\nrepeat=2\ntotal=";
        for (const auto &[total, loaded] :
             {std::pair{QByteArray("3\n[macro]\n1=\"1,A\"\n"), QStringList{"0", "1,A", "0", "2"}},
              {"2147483647\n", QStringList(MacroStore::maxEvents, "0") + QStringList{"2"}},
              {"-5\n", {"2"}},
              {"many\n", {"2"}}}) {
            TestDataFolder folder;
            folder.write(macroFile("Bad"), config + total);
            SettingsStore settings(QDir::currentPath());
            QCOMPARE(MacroStore(settings).load("Bad"), loaded);
        }
    }

    void importNeverOverwrites()
    {
        for (const auto &[picked, name, result] :
             {std::tuple{"in.mc", "Macro_1", ImportResult::Imported},
              {"in.mc", "Macro_0", ImportResult::Imported}, // onto an existing one
              {"none.mc", "Macro_1", ImportResult::Failed},
              {"big.mc", "Macro_1", ImportResult::TooLarge},
              // Not a macro: a profile, a picture.
              {"modules/setting/p1.bin", "Macro_1", ImportResult::Failed},
              {"picture.mc", "Macro_1", ImportResult::Failed},
              // A pipe: read, it would never end.
              {"pipe.mc", "Macro_1", ImportResult::Failed}}) {
            TestDataFolder folder;
            folder.write("in.mc", "[config]\ntotal=1\nrepeat=7\n[macro]\n0=\"1,Q\"\n");
            QFile::setPermissions("in.mc", QFileDevice::ReadOwner); // imports stay editable
            folder.write("big.mc", QByteArray(StorePaths::maxFileSize + 1, ' '));
            folder.write("picture.mc", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR[", 17));
            QCOMPARE(mkfifo("pipe.mc", 0600), 0);
            SettingsStore settings(QDir::currentPath());
            MacroStore macros(settings);
            QVERIFY(macros.create("Macro_0", 0));
            QMap<QString, QByteArray> expected = folder.snapshot();
            ScriptedFileDialogs dialogs({folder.filePath(picked)});
            QCOMPARE(macros.importMacro(name, dialogs), result);
            if (QString(name) == "Macro_1" && result == ImportResult::Imported)
                expected.insert(macroFile(name), expected.value("in.mc"));
            QCOMPARE(folder.snapshot(), expected);
            QCOMPARE(macros.save(name, {"1,A"}, 1), expected.contains(macroFile(name)));
        }
    }

    // Profiles 1 to 6 follow a rename, and buttons playing a removed macro get their
    // factory function back there; the default one and 7 to 10 stay.
    void renameAndUnassignFollowProfilesOneToSix()
    {
        TestDataFolder folder;
        {
            SettingsStore settings(QDir::currentPath());
            for (int p = 0; p < StorePaths::profileCount; ++p) {
                settings.setCurrentProfile(p);
                QVERIFY(settings.setData("mouseMacroKey/0", "A") &&
                        settings.setData("mouseMacroKey/5", "A"));
                settings.setDataList("mouseKeyMatrix/2", {4, 0, 5, 0});
                settings.setDataList("mouseKeyMatrix/5", {4, 0, 1, 0}); // another slot
                settings.setDataList("mouseKeyMatrix/6", {0, 0, 5, 0}); // no macro
                settings.setDataList("mouseKeyMatrix/9", {4});          // short: slot 0
            }
            settings.setData("mouseMacroKey/1", "Gone");
            MacroStore macros(settings);
            QVERIFY(macros.create("A", 0) && macros.create("C", 0) && settings.sync());
            QMap<QString, QByteArray> expected = folder.snapshot();
            expected.insert(macroFile("B"), expected.take(macroFile("A")));
            for (int p = 0; p < 6; ++p)
                expected[StorePaths::profile(p)].replace("=A\n", "=B\n");
            // Renaming a missing macro, or onto an existing one, changes nothing.
            QVERIFY(!macros.rename("Gone", "New") && !macros.rename("A", "C") &&
                    macros.rename("A", "B") && settings.sync());
            QCOMPARE(folder.snapshot(), expected);
        }
        SettingsStore settings(QDir::currentPath()); // after a restart every value is text
        MacroStore(settings).unassign("B");
        QStringList read;
        for (int p : {0, 6}) {
            settings.setCurrentProfile(p);
            for (const char *k : {"2", "5", "6", "9"})
                read
                    << settings.dataList(QString("mouseKeyMatrix/") + k, false).value(2).toString();
        }
        QCOMPARE(read.join(' '), "242 1 5 0 5 1 5 ");
    }

    void refusedNamesTouchNothing()
    {
        const QStringList hostile =
            QString(".|..|../setting/p1|..\\setting\\p1|/tmp/skarn-escape|a/b|a\nb|a\x7f")
                .split('|')
            << QString() << QString(QChar(0)) + "x";
        // Names only a new macro may not take: not portable; dropped from a one-entry
        // name list on read, so the macro would vanish; too long.
        const QStringList names = hostile +
                                  QString("a:b a*b a?b a\"b a<b a>b a|b loaderbraxel").split(' ') +
                                  QStringList{QString(65, QLatin1Char('m'))};
        for (const QString &name : names) {
            TestDataFolder folder;
            folder.write("in.mc", "[config]\ntotal=0\n");
            SettingsStore settings(QDir::currentPath());
            MacroStore macros(settings);
            QVERIFY(macros.create("Good", 0) && macros.create(QString(64, QLatin1Char('m')), 0) &&
                    settings.setData("mouseMacroKey/0", "Good") &&
                    settings.setData("mouseMacroKey/1", name) &&
                    settings.setDataList("mouseKeyMatrix/2", {4, 0, 1, 0}) && settings.sync());
            const QMap<QString, QByteArray> before = folder.snapshot();
            ScriptedFileDialogs dialogs({folder.filePath("in.mc"), "x", "y"});
            QVERIFY(!macros.create(name, 0) && !macros.rename("Good", name) &&
                    macros.importMacro(name, dialogs) == ImportResult::Failed);
            if (hostile.contains(name)) {
                QVERIFY(!macros.save(name, {"1,A"}, 1) && macros.load(name).isEmpty() &&
                        !macros.remove(name) && !macros.rename(name, "Fresh"));
                macros.exportMacro(name, dialogs);
                QVERIFY(dialogs.asked.isEmpty());
                macros.unassign(name);
            }
            settings.sync();
            QCOMPARE(folder.snapshot(), before);
            QVERIFY(!QFile::exists("/tmp/skarn-escape.bin"));
        }
    }
};

QTEST_GUILESS_MAIN(tst_MacroStore)
#include "tst_macrostore.moc"
