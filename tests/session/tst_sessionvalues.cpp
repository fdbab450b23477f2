// What the session makes of the store's values.
#include "gundatafile.h"
#include "gunpresets.h"
#include "keynames.h"
#include "macrocode.h"
#include "profilelist.h"
#include "profilesettings.h"
#include "settingsstore.h"
#include "storedvalues.h"
#include "testdatafolder.h"

#include <QTest>

using Record = ProfileSettings::Record;

class tst_SessionValues : public QObject
{
    Q_OBJECT

private slots:
    // A stored record that is damaged or not one the screens can make is the button's default.
    void keyRecords()
    {
        const std::tuple<QVariantList, int, Record> rows[] = {
            {{"5", "0", "1", "0"}, 3, {5, 0, 1, 0}},
            {{4, 0, 11, 0}, 8, {4, 0, 11, 0}},
            {{"255", "0", "2", "0"}, 8, {0xFF, 0, 2, 0}},
            {{}, 7, {0, 0xF0, 0x1E, 2}},
            {{"5", "x", "1", "0"}, 14, {0xFF, 0, 1, 0}},
            {{"5", "0", "1.5", "0"}, 8, {0, 0, 0, 0}},
            {{"5", "0", "300", "0"}, 0, {0, 0, 0xF0, 0}},
            {{" 0x8", "0", "2", "1e0"}, 3, {8, 0, 2, 1}},
            {{9, 0, 0, 0}, 3, {0, 0, 0xF4, 0}},
            {{4, 0, 12, 0}, 3, {0, 0, 0xF4, 0}},
            {{5, 0, 0, 0}, 3, {0, 0, 0xF4, 0}},
            {{5, 0, 5, 0}, 3, {0, 0, 0xF4, 0}},
            {{8, 0, 4, 0}, 3, {0, 0, 0xF4, 0}},
            {{}, 16, {0, 0, 0, 0}}};
        for (const auto &[record, button, codes] : rows)
            QCOMPARE(ProfileSettings::recordCodes(record, button), codes);
        // Neither a middle click nor a fire key on the left-click code counts.
        std::array<Record, ProfileSettings::buttonCount> keys;
        keys.fill({0, 0, 0xF1, 0});
        keys[3] = {1, 0, 0xF0, 0};
        ProfileSettings::keepLeftClick(keys);
        QCOMPARE(keys[0], (Record{0, 0, 0xF0, 0}));
        keys[5] = {0, 0, 0xF0, 0};
        keys[0] = {3, 0, 0x83, 1};
        ProfileSettings::keepLeftClick(keys);
        QCOMPARE(keys[0], (Record{3, 0, 0x83, 1}));
    }

    // Multiples of 50 survive the slider's round trip; a degenerate range or base.
    void dpiSliders()
    {
        for (int value = 200; value <= 6000; value += 50)
            QCOMPARE(ProfileSettings::dpiValueAt(ProfileSettings::dpiPosition(value, 200, 6000),
                                                 200, 6000, 50),
                     value);
        QCOMPARE(QList<int>({ProfileSettings::dpiValueAt(161, 200, 6000, 50),
                             ProfileSettings::dpiPosition(6000, 200, 6000),
                             ProfileSettings::dpiPosition(500, 800, 800),
                             ProfileSettings::dpiValueAt(50, 200, 6000, 0)}),
                 QList<int>({6000, 162, 4, 1925}));
        QList<int> levels;
        for (int position : {3, 4, 37, 103, 104, 170, 337, 500})
            levels << ProfileSettings::pointerLevel(position);
        QCOMPARE(levels, QList<int>({0, 1, 2, 3, 4, 5, 10, 10}));
    }

    // Damaged and out-of-range values read as the screens show them.
    void profiles()
    {
        TestDataFolder folder;
        SettingsStore store(folder.path());
        for (const auto &[key, value] : QList<std::pair<QString, QVariant>>{
                 {"mouse/reportRate", "7"},
                 {"mouse/dpiCount", " 3 "},
                 {"mouse/currentDpiCount", "9"},
                 {"mouse/dpiValueArray", QStringList{"100", "x", "7000", "1234"}},
                 {"mouse/lightValue", QStringList{"11", "-2", "9"}},
                 {"mouse/colorValue", QStringList{"1", "300", "x"}},
                 {"mouse/mouseRate", "400"},
                 {"mouse/scrollRate", "101"},
                 {"mouseKeyMatrix/0", QStringList{"0", "0", "241", "0"}}})
            store.setData(key, value);
        const ProfileSettings damaged = ProfileSettings::read(store, false);
        QCOMPARE(damaged.keyList().mid(0, 4), QList<int>({0, 0, 240, 0}));
        QCOMPARE(QList<int>({damaged.reportRateRow, damaged.dpi.count, damaged.dpi.active,
                             damaged.lighting.effect, damaged.lighting.speed,
                             damaged.lighting.brightness, damaged.pointer.speed,
                             damaged.pointer.doubleClick, damaged.pointer.scroll}),
                 QList<int>({3, 3, 3, 0, 0, 4, 337, 170, 1000}));
        QCOMPARE(damaged.dpi.stored, QList<int>({200, 1000, 6000, 1234, 3000, 4000, 5000, 6000}));
        QCOMPARE(damaged.dpi.sent.mid(0, 4), QList<int>({200, 1000, 6000, 1250}));
        QCOMPARE(damaged.lighting.sentColours(false).mid(0, 4), QList<int>({1, 0, 0, 0}));
        // The 55328 takes colour 8 only with Breath Loop.
        QCOMPARE(damaged.lighting.sentColours(true).mid(21), QList<int>({0, 0, 0}));
        QCOMPARE(damaged.lighting.sentColours(false).mid(21), QList<int>({255, 255, 255}));
        QCOMPARE(ProfileSettings::read(store, true).pointer.speed, 170);
        store.setData("mouse/dpiCount", 9);
        QVERIFY(!ProfileSettings::read(store, false).dpi.shown);
    }

    // The repeat count, per action its wait (10 ms units, bit 7 a release) and code, 00 00.
    void macroBytes_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("repeat");
        QTest::addColumn<QByteArray>("bytes");
        const auto row = [](const char *name, const QStringList &events, int repeat,
                            const char *hex) {
            QTest::newRow(name) << events << repeat << QByteArray::fromHex(hex);
        };
        row("no delays give 10 ms waits", {"1,B", "2,B", "3,MS-L", "4,MS-L"}, 2,
            "0002 0105 8105 01f0 81f0 0000");
        row("delays between two actions add up", {"1,A", "0,500", "0,700", "2,A"}, 1,
            "0001 7804 8104 0000");
        row("126 units stay short", {"1,A", "0,1260", "2,A"}, 1, "0001 7e04 8104 0000");
        row("127 units are long, in 20 ms units", {"1,A", "0,1270", "2,A"}, 1,
            "0001 0004 0001 003f 8104 0000");
        row("a long wait after a release keeps bit 7", {"1,A", "2,A", "0,3000", "1,B", "2,B"}, 1,
            "0001 0104 8004 0001 0096 0105 8105 0000");
        row("100000 units count 50 ms",
            QStringList{"1,A"} + QStringList(16, "0,60000") + QStringList{"0,40000", "2,A"}, 1,
            "0001 0004 0002 4e20 8104 0000");
        row("600000 units", QStringList{"1,A"} + QStringList(100, "0,60000") + QStringList{"2,A"},
            1, "0001 0004 ffff 8104 0000");
        row("leading and trailing delays are dropped", {"0,40", "1,A", "0,20", "2,A", "0,90"}, 1,
            "0001 0204 8104 0000");
        row("fractions of 10 ms round to the nearest unit", {"1,A", "0,34", "2,A", "0,35", "1,B"},
            1, "0001 0304 8404 0105 0000");
        row("a name the table lacks is code 0", {"1,Nope", "2,Nope"}, 1, "0001 0100 8100 0000");
        row("repeat beyond 16 bits", {"1,A", "2,A"}, 70000, "ffff 0104 8104 0000");
        row("negative repeat", {}, -3, "0000");
        row("delays then one press", {"0,10", "1,A"}, 5, "0005");
        row("a press then a delay", {"1,A", "0,50"}, 1, "0001 0104 0000");
        row("damaged lines skipped", {"9,x", "", "1,A", "0,2x0", "0,-5", "2,A"}, 1,
            "0001 0104 8104 0000");
    }

    void macroBytes()
    {
        QFETCH(QStringList, events);
        QFETCH(int, repeat);
        const KeyNames names;
        const MacroCode::Macro macro = MacroCode::parseLoaded(events + QStringList{"1"});
        QByteArray bytes;
        for (int byte : MacroCode::encode(macro.events, repeat,
                                          [&](const QString &key) { return names.code(key); }))
            bytes.append(char(byte));
        QTEST(bytes, "bytes");
    }

    // Stored texts as whole numbers or the fallback; fields, periods, repeats: leading digits.
    void wholeNumbers()
    {
        QStringList read, leading;
        for (const char *text : {"12", " -4 ", "+7", "\t5", "12abc", "1.5", "1e3", "-", "x5", "",
                                 "\u0663", "99999999999"}) {
            read << QString::number(StoredValues::toInt(QString::fromUtf8(text), -7));
            leading << StoredValues::leadingInteger(QString::fromUtf8(text));
        }
        QCOMPARE(read, QStringList({"12", "-4", "7", "5", "-7", "-7", "-7", "-7", "-7", "-7", "-7",
                                    QString::number(INT_MAX)}));
        QCOMPARE(leading, QStringList({"12", "-4", "+7", "5", "12", "1", "1", "", "", "", "",
                                       "99999999999"}));
        GunPresets::Preset preset;
        preset.period = " 35ms";
        QCOMPARE(preset.firePeriod(), 35);
        QList<int> repeats;
        for (const char *last : {"3", " 12x", "-5", "99999999999999999999", "x", ""})
            repeats << MacroCode::parseLoaded({"1,A", QString::fromLatin1(last)}).repeat;
        QCOMPARE(repeats, QList<int>({3, 12, 0, 65535, 1, 1}));
        QCOMPARE(MacroCode::parseLoaded({}).events.size(), 0);
    }

    // The lower code wins a shared name; a language's name replaces the built-in one by index.
    void keyNames()
    {
        TestDataFolder folder;
        const KeyNames builtIn;
        QCOMPARE(
            QStringList({builtIn.name(0x04), builtIn.name(0xF4), builtIn.name(0x99),
                         QString::number(builtIn.code("\\")), QString::number(builtIn.code("a"))}),
            QStringList({"A", "MS-B5", "", QString::number(0x31), "0"}));
        folder.write("modules/i18n/Test.ini", "[keyCode]\ntotal=2\n0=Ä\n1=\n");
        folder.write("modules/i18n/Other.ini", "[keyCode]\ntotal=3\n0=Ä\n1=Ö\n2=Ü\n");
        const KeyNames test = KeyNames::forLanguage(folder.path(), "Test");
        QCOMPARE(test.names().mid(0, 3), QStringList({"Ä", "B", "C"}));
        QCOMPARE(QList<int>({test.code("Ä"), test.code("A"), test.code("Ö"), test.code("Ü"),
                             test.code("Ø")}),
                 QList<int>({0x04, 0x04, 0x05, 0x06, 0}));
        QCOMPARE(KeyNames::forLanguage(folder.path(), "Missing").names(), builtIn.names());
    }

    void gunPresets()
    {
        TestDataFolder folder;
        SettingsStore store(folder.path());
        GunDataFile file(folder.path());
        QVERIFY(file.saveRecord("1", {"AKM", "L-Click", "200", " -4", "70", "x"}));
        QVERIFY(file.saveRecord("2", {"M16A4", "L-Click", "7"}));
        const GunPresets::Preset akm = GunPresets::preset(store, 1);
        QCOMPARE(QStringList({akm.period, akm.x, akm.y, akm.times}),
                 QStringList({"90", "0", "64", "0"}));
        QCOMPARE(akm.slotValues(), QList<int>({0, 0, 64}));
        QCOMPARE(GunPresets::preset(store, 2).period, "9"); // a short record: as delivered
        store.setGlobalData("mouse/selectGun", QVariantList{1, "x", 9});
        QCOMPARE(GunPresets::firePeriods(store), QList<int>({90, 9, 10}));
        bool written = false;
        const auto slotValues = GunPresets::reset(store, &written);
        QVERIFY(written);
        QCOMPARE(slotValues[1], QList<int>({0, 0, 7}));
        QCOMPARE(GunPresets::firePeriods(store), QList<int>({9, 9, 9}));
    }

    // Sentinel, damaged and taken rows drop; new rows take the smallest free number and name.
    void profileList()
    {
        TestDataFolder folder;
        SettingsStore store(folder.path());
        ProfileList list(store, "Erstes");
        QCOMPARE(list.rows(), QList<ProfileList::Row>({{"Erstes", 0}}));
        QVERIFY(list.store(ProfileList::parse({"Standard0", "", "profile_13", "x", "dup0", "dup3",
                                               "six9", "B2", "2", "loaderbraxel"})));
        QCOMPARE(list.rows(), QList<ProfileList::Row>({{"Erstes", 0}, {"profile_1", 3}, {"B", 2}}));
        QCOMPARE(list.add(), 1);
        QCOMPARE(list.rows().last(), (ProfileList::Row{"profile_0", 1}));
        QList<int> found;
        for (const char *which : {"4", "B", "02", "+2", " 2", "7", "Erstes", "profile_0"})
            found << list.find(QString::fromLatin1(which));
        QCOMPARE(found, QList<int>({3, 2, -1, -1, -1, -1, 0, 1}));
        QVERIFY(list.remove(3) && list.remove(5));
        QCOMPARE(list.rows().size(), 3);
        QList<int> refusals;
        for (const QString &name : {QString("B"), QString(" "), QString(65, 'n'),
                                    QString("loaderbraxel"), QString(64, 'n')})
            refusals << int(ProfileList::refusal(list.rows(), name));
        QCOMPARE(refusals, QList<int>({0, 1, 2, 3, -1}));
        for (int n = 0; n < 3; ++n)
            list.add();
        QCOMPARE(list.add(), -1); // six at most
    }
};

QTEST_GUILESS_MAIN(tst_SessionValues)
#include "tst_sessionvalues.moc"
