#include "devicetablefile.h"
#include "gundatafile.h"
#include "keymatrixstore.h"
#include "langstrings.h"
#include "macrostore.h"
#include "namelistfile.h"
#include "scriptedfiledialogs.h"
#include "settingsstore.h"
#include "storepaths.h"
#include "testdatafolder.h"

#include <QDir>
#include <QTest>
#include <functional>
#include <sys/stat.h>

using Edit = std::function<void()>;

namespace {
const char gunFile[] = "modules/gun/gunData.bin";
const char nameFile[] = "modules/setting/name.bin";

QString macroFile(const QString &name)
{
    return QStringLiteral("modules/macro/") + name + QStringLiteral(".bin");
}
} // namespace

class tst_StoreFiles : public QObject
{
    Q_OBJECT

private slots:
    // Saved and renamed in the view's tests; here a delete, no-ops, a file never created.
    void gunData()
    {
        const QStringList six{"0", "1", "2", "3", "4", "5"};
        const std::pair<Edit, QStringList> rows[] = {
            {[] { GunDataFile(QDir::currentPath()).modify(0, {"3"}); }, {"0", "1", "2", "4", "5"}},
            {[] {
                 GunDataFile guns(QDir::currentPath());
                 guns.modify(5, {"AKM", "x", 1, 1, 1, 1, "1"});
                 guns.saveRecord("1", {"M4", "L-Click", 9, 0, 5});
                 guns.modify(1, {"M4", "L-Click", 9, 0, 5, "AKM"}); // no old name
                 const QString name = "\\/"; // nothing once the separators go
                 guns.modify(1, {name, "L-Click", 12, 0, 8, 3, "0"});
                 guns.saveRecord(name, {"AK", "L-Click", 12, 0, 8, 3});
             },
             six},
            {[] {
                 QFile::remove(gunFile);
                 GunDataFile(QDir::currentPath()).saveRecord("0", {"M416", "L-Click", 9, 0, 5, 0});
                 GunDataFile(QDir::currentPath()).modify(1, {"AK", "L-Click", 12, 0, 8, 3, "AKM"});
             },
             {}}};
        for (const auto &[edit, keys] : rows) {
            TestDataFolder folder;
            const QByteArray delivered = folder.read(gunFile);
            edit();
            QCOMPARE(GunDataFile(QDir::currentPath()).keys(), keys);
            QCOMPARE(QFile::exists(gunFile), !keys.isEmpty());
            if (keys == six)
                QCOMPARE(folder.read(gunFile), delivered);
        }
    }

    void nameLists()
    {
        const QByteArray both = "[macro]\nmacroName=M, loaderbraxel\n[profile]\nprofileName=P\n";
        const std::tuple<QByteArray, QVariant, QStringList, QVariantList, QByteArray> rows[] = {
            {{}, 0, {"M"}, {"M", "loaderbraxel"}, "[macro]\nmacroName=M, loaderbraxel\n"},
            {{}, "1", {"M416", "AKM"}, {"M416", "AKM"}, "[gun]\ngunName=M416, AKM\n"},
            {{}, 3u, {"0", "1"}, {"0", "1"}, "[gun]\nselectGun=0, 1\n"},
            // Unknown types, or not a number, change nothing.
            {{}, 4, {"a"}, {}, {}},
            {{}, "macro", {"a"}, {}, {}},
            {{}, 1, {"(read)"}, {}, {}},                     // missing file
            {both, 0, {}, {}, "[profile]\nprofileName=P\n"}, // an empty list removes that list
            {both, 2, {"(read)"}, {}, both}, // stored without the sentinel: a plain value
            // A list stored as it stands is not written again (the comment would go).
            {"; kept\n" + both, 0, {"M"}, {"M", "loaderbraxel"}, "; kept\n" + both},
            // Text that is not settings (edited by hand) is written over, and that is no failure.
            {"hello", 2, {"P"}, {"P", "loaderbraxel"}, "[profile]\nprofileName=P, loaderbraxel\n"}};
        for (const auto &[before, type, written, read, file] : rows) {
            TestDataFolder folder;
            if (!before.isEmpty())
                folder.write(nameFile, before);
            if (written != QStringList{"(read)"})
                QVERIFY(NameListFile(QDir::currentPath()).update(type, written));
            QCOMPARE(folder.read(nameFile), file);
            QCOMPARE(QFile::exists(nameFile), !file.isEmpty());
            QCOMPARE(NameListFile(QDir::currentPath()).read(type), read);
        }
    }

    // As many as the count (capped), blanks from English; codes leading out read nothing.
    void languageGroups()
    {
        const TestDataFolder folder;
        for (const char *file : {"modules/i18n/Test.ini", "modules/i18n/.ini", "modules/Test.ini"})
            folder.write(file, "[three]\ntotal=3\n0=first\n2=third\n[padded]\ntotal=4\n0=only\n"
                               "[huge]\ntotal=99999999\n0=a\n[negative]\ntotal=-5\n0=a\n[text]\n"
                               "total=abc\n0=a\n[nototal]\n0=a\n[scripts]\ntotal=3\n0=系统设置\n"
                               "1=Мышь\n2=Rows, lines\n[notice]\ntotal=3\n0=Erst\n2=\n");
        const auto read = [&folder](const QString &code, const QString &group) {
            return LangStrings::read(folder.path(), group, code);
        };
        QCOMPARE(read("Test", "three"), (QStringList{"first", "", "third"}));
        QCOMPARE(read("Test", "padded"), (QStringList{"only", "", "", ""}));
        QCOMPARE(read("Test", "huge"), QStringList{"a"} + QStringList(1023, QString()));
        QCOMPARE(read("Test", "scripts"), (QStringList{"系统设置", "Мышь", "Rows, lines"}));
        for (const char *group : {"negative", "text", "nototal", "absent"})
            QCOMPARE(read("Test", group), QStringList());
        const QStringList english = read("English", "notice");
        QCOMPARE(english.size(), 10);
        QCOMPARE(read("Test", "notice"), QStringList{"Erst"} + english.mid(1));
        QCOMPARE(read("Test", "tray"), read("English", "tray"));
        for (const char *code : {"", ".", "..", "../i18n/Test", "..\\Test", "Te\nst"})
            QCOMPARE(read(code, "three"), QStringList());
    }

    void keyMatrixRecords()
    {
        // One record and a half; three too many.
        for (const auto &[count, line] :
             {std::pair{6, "1=104, 105, 0, 0\n"}, {67, "15=160, 161, 162, 163\n"}}) {
            TestDataFolder folder;
            SettingsStore settings(QDir::currentPath());
            settings.setCurrentProfile(2);
            QVariantList records;
            for (int i = 0; i < count; ++i)
                records << 100 + i;
            QVERIFY(KeyMatrixStore(settings).storeRecords(records));
            const QByteArray p3 = folder.read("modules/setting/p3.bin");
            QVERIFY(p3.contains(line) && !p3.contains("164") &&
                    p3.contains("[mouseFwKeyMatrix]\n0=1, 0, 240, 0\n"));
        }
    }

    void deviceTable()
    {
        const QString missing = "-1 0 0 0 0 0 0 32 0 370524";
        const std::pair<QByteArray, QStringList> rows[] = {
            {"[common]\ndeviceCount=3\n"
             "[0]\ntype=1\nvid=1209\npid=0001\nusagePage=ff00\nusage=ff02\nusagePage2=ff01\n"
             "usage2=ff03\nreportLength=64\nisEncode=true\nsCode=111111\n"
             "[1]\ntype=zz\nvid=12G4\npid=fffff\nusagePage=0xff0a\nusage=1\nisEncode=false\n"
             "sCode=1234\n",
             {"1 1209 1 ff00 ff02 ff01 ff03 64 1 111111", "0 0 0 ff0a 1 0 0 32 0 1234", missing}},
            {"[common]\ndeviceCount=100000\n", QStringList(DeviceTableFile::maxDevices, missing)}};
        for (const auto &[file, entries] : rows) {
            const TestDataFolder folder;
            folder.write("table.bin", file);
            QStringList read;
            for (const DeviceEntry &e : DeviceTableFile::read("table.bin"))
                read << QString::asprintf("%d %x %x %x %x %x %x %d %d %s", e.type, e.vid, e.pid,
                                          e.usagePage, e.usage, e.usagePage2, e.usage2,
                                          e.reportLength, int(e.isEncode), qUtf8Printable(e.sCode));
            QCOMPARE(read, entries);
        }
    }

    void eventsRoundTrip()
    {
        const QStringList events{"1,,", "3,MS-L", "0,120", "4,MS-L", "1,►", "2,\\"};
        const QString name = "宏 Überfall, 2";
        TestDataFolder folder;
        {
            SettingsStore settings(QDir::currentPath());
            MacroStore macros(settings);
            ScriptedFileDialogs dialogs({folder.filePath("out")});
            QVERIFY(!macros.save(name, events, 2) && !macros.remove(name) &&
                    macros.load(name).isEmpty() && !QDir("modules/macro").exists());
            QVERIFY(macros.create(name, 0) && macros.load(name) == QStringList{"1"});
            // A shorter save leaves no stale events.
            QVERIFY(macros.save(name, QStringList(40, "0,10"), 9) && macros.save(name, events, 2));
            macros.exportMacro(name, dialogs);
            QCOMPARE(dialogs.asked, QStringList{"save Macro(*.mc)"});
        }
        QCOMPARE(folder.read("out"), folder.read(macroFile(name)));
        SettingsStore settings(QDir::currentPath());
        MacroStore macros(settings);
        QCOMPARE(macros.load(name), events + QStringList{"2"}); // as text
        QVERIFY(macros.remove(name) && QDir("modules/macro").isEmpty());
    }

    // An export typed without a suffix gets the import's, so that the import shows it.
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
              {"-5\n", {"2"}}}) {
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
              {"big.mc", "Macro_1", ImportResult::TooLarge},
              {"edge.mc", "Macro_1", ImportResult::Imported},              // 1 MiB exactly
              {"modules/setting/p1.bin", "Macro_1", ImportResult::Failed}, // not a macro
              // A pipe: read, it would never end.
              {"pipe.mc", "Macro_1", ImportResult::Failed}}) {
            TestDataFolder folder;
            folder.write("in.mc", "[config]\ntotal=1\nrepeat=7\n[macro]\n0=\"1,Q\"\n");
            QFile::setPermissions("in.mc", QFileDevice::ReadOwner); // imports stay editable
            folder.write("big.mc", QByteArray(StorePaths::maxFileSize + 1, ' '));
            folder.write("edge.mc",
                         folder.read("in.mc").leftJustified(StorePaths::maxFileSize, '\n'));
            QCOMPARE(mkfifo("pipe.mc", 0600), 0);
            SettingsStore settings(QDir::currentPath());
            MacroStore macros(settings);
            QVERIFY(macros.create("Macro_0", 0));
            QMap<QString, QByteArray> expected = folder.snapshot();
            ScriptedFileDialogs dialogs({folder.filePath(picked)});
            QCOMPARE(macros.importMacro(name, dialogs), result);
            if (QString(name) == "Macro_1" && result == ImportResult::Imported)
                expected.insert(macroFile(name), expected.value(picked));
            QCOMPARE(folder.snapshot(), expected);
            QCOMPARE(macros.save(name, {"1,A"}, 1), expected.contains(macroFile(name)));
        }
    }

    // A rename and an unassign reach profiles 1 to 6, not the default one nor 7 to 10.
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
                settings.setDataList("mouseKeyMatrix/5", {4, 0, 1, 0});  // another slot
                settings.setDataList("mouseKeyMatrix/6", {0, 0, 5, 0});  // no macro
                settings.setDataList("mouseKeyMatrix/9", {4});           // short: slot 0
                settings.setDataList("mouseKeyMatrix/15", {4, 0, 5, 0}); // the last button
                settings.setDataList("mouseKeyMatrix/16", {4, 0, 5, 0}); // no button
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
            for (const char *k : {"2", "5", "6", "9", "15", "16"})
                read
                    << settings.dataList(QString("mouseKeyMatrix/") + k, false).value(2).toString();
        }
        QCOMPARE(read.join(" "), "242 1 5 0 2 5 5 1 5  5 5");
    }

    void refusedNamesTouchNothing()
    {
        const QStringList hostile =
            QString(".|..|../setting/p1|..\\setting\\p1|/tmp/skarn-escape|a/b|a\nb|a\x7f")
                .split('|')
            << QString() << QString(QChar(0)) + "x";
        // Names only a new macro may not take: not portable, the list's sentinel, too long.
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

QTEST_GUILESS_MAIN(tst_StoreFiles)
#include "tst_storefiles.moc"
