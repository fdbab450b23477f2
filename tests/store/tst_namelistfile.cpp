#include "namelistfile.h"
#include "testdatafolder.h"

#include <QFile>
#include <QTest>

namespace {
const char nameFile[] = "modules/setting/name.bin";
}

class tst_NameListFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void emptyListsAndUnknownTypesChangeNothingElse();
    void readsFiles_data();
    void readsFiles();
};

void tst_NameListFile::roundTrip_data()
{
    QTest::addColumn<uint>("type");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QVariantList>("read");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("one macro gets the sentinel")
        << 0u << QStringList{"Macro_0"} << QVariantList{"Macro_0", "loaderbraxel"}
        << QByteArray("macroName=Macro_0, loaderbraxel");
    QTest::newRow("two profiles in order")
        << 2u << QStringList{"Standard0", "profile_13"} << QVariantList{"Standard0", "profile_13"}
        << QByteArray("profileName=Standard0, profile_13");
    QTest::newRow("gun names") << 1u << QStringList{"M416", "AKM", "SCAR-L"}
                               << QVariantList{"M416", "AKM", "SCAR-L"}
                               << QByteArray("gunName=M416, AKM, SCAR-L");
    QTest::newRow("gun selection")
        << 3u << QStringList{"0", "1", "2"} << QVariantList{"0", "1", "2"} << QByteArray("[gun]");
    QTest::newRow("commas, quotes and spaces")
        << 0u << QStringList{"a,b", "say \"hi\"", " lead", "x=y"}
        << QVariantList{"a,b", "say \"hi\"", " lead", "x=y"} << QByteArray("[macro]");
    QTest::newRow("non-ASCII") << 0u << QStringList{"宏一", "Überfall"}
                               << QVariantList{"宏一", "Überfall"} << QByteArray("macroName=");
    QTest::newRow("one empty name") << 2u << QStringList{""} << QVariantList{"", "loaderbraxel"}
                                    << QByteArray("profileName=, loaderbraxel");
}

void tst_NameListFile::roundTrip()
{
    QFETCH(uint, type);
    QFETCH(QStringList, written);
    QFETCH(QVariantList, read);
    QFETCH(QByteArray, line);

    TestDataFolder folder;
    NameListFile().update(type, written);
    // On disk when the call returns.
    QVERIFY2(folder.read(nameFile).contains(line), folder.read(nameFile).constData());
    QCOMPARE(NameListFile().read(type), read);
    for (const QVariant &name : NameListFile().read(type))
        QCOMPARE(name.typeId(), int(QMetaType::QString));
}

void tst_NameListFile::emptyListsAndUnknownTypesChangeNothingElse()
{
    TestDataFolder folder;
    NameListFile names;
    names.update(7, {"a", "b"});
    QVERIFY(!QFile::exists(folder.filePath(nameFile)));
    names.update(0, {"Macro_0", "Macro_1"});
    names.update(2, {"Standard0"});
    const QByteArray before = folder.read(nameFile);
    names.update(4, {"c", "d"});
    names.update(-1, {});
    // Not a number: not the macro list either.
    names.update("macro", {});
    names.update(QVariant(), {});
    QCOMPARE(folder.read(nameFile), before);
    QCOMPARE(names.read(7), QVariantList());

    names.update(0, {});
    QVERIFY(!folder.read(nameFile).contains("macroName"));
    QCOMPARE(names.read(0), QVariantList());
    QCOMPARE(names.read(2), (QVariantList{"Standard0", "loaderbraxel"}));
}

void tst_NameListFile::readsFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QVariantList>("macros");
    QTest::newRow("missing file") << QByteArray() << QVariantList();
    // A list someone stored without the sentinel comes back as a plain value.
    QTest::newRow("single value") << QByteArray("[macro]\nmacroName=Macro_0\n") << QVariantList();
    QTest::newRow("backslash-x escapes")
        << QByteArray("[macro]\nmacroName=\\x5b8f\\x4e00, \\xdc\\x62\\x65rfall\n")
        << QVariantList{"宏一", "Überfall"};
}

void tst_NameListFile::readsFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QVariantList, macros);
    TestDataFolder folder;
    if (!content.isEmpty())
        folder.write(nameFile, content);
    QCOMPARE(NameListFile().read(0), macros);
    for (uint type = 1; type < 4; ++type)
        QCOMPARE(NameListFile().read(type), QVariantList());
    QCOMPARE(QFile::exists(folder.filePath(nameFile)), !content.isEmpty());
}

QTEST_GUILESS_MAIN(tst_NameListFile)
#include "tst_namelistfile.moc"
