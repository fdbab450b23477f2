#include "langstrings.h"
#include "linkstate.h"
#include "myqquickview.h"
#include "testdatafolder.h"

#include <QTest>
#include <memory>

class tst_LangStrings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void groups_data();
    void groups();
    void otherReplacesTheCaptionsItCovers();
    void hostileLanguageCodesReadNothing_data();
    void hostileLanguageCodesReadNothing();
    void deliveredFilesHaveEveryGroupTheSceneReads_data();
    void deliveredFilesHaveEveryGroupTheSceneReads();
    void englishTextsAreTheScreensDefaults_data();
    void englishTextsAreTheScreensDefaults();
    void deliveredOtherGroupFillsOnlyTheDpiCaptions();

private:
    static void resetCaptions();

    // The delivered files, current for every test without its own folder.
    std::unique_ptr<TestDataFolder> m_delivered;
};

static const QByteArray testFile = "[three]\n"
                                   "total=3\n"
                                   "0=first\n"
                                   "2=third\n"
                                   "[padded]\n"
                                   "total=4\n"
                                   "0=only\n"
                                   "[huge]\n"
                                   "total=99999999\n"
                                   "0=a\n"
                                   "[negative]\n"
                                   "total=-5\n"
                                   "0=a\n"
                                   "[text]\n"
                                   "total=abc\n"
                                   "0=a\n"
                                   "[nototal]\n"
                                   "0=a\n"
                                   "[scripts]\n"
                                   "total=3\n"
                                   "0=\xe7\xb3\xbb\xe7\xbb\x9f\xe8\xae\xbe\xe7\xbd\xae\n"
                                   "1=\xd0\x9c\xd1\x8b\xd1\x88\xd1\x8c\n"
                                   "2=Rows, lines\n"
                                   "[other]\n"
                                   "total=5\n"
                                   "0=S1\n1=S2\n2=S3\n3=S4\n4=S5\n";

void tst_LangStrings::resetCaptions()
{
    for (QString &caption : dpiSwitchText)
        caption = QStringLiteral("DPI Switch to");
}

void tst_LangStrings::initTestCase()
{
    m_delivered = std::make_unique<TestDataFolder>();
}

void tst_LangStrings::init()
{
    resetCaptions();
}

void tst_LangStrings::groups_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("gap") << "three" << QStringList{"first", "", "third"};
    QTest::newRow("padded") << "padded" << QStringList{"only", "", "", ""};
    QTest::newRow("negative total") << "negative" << QStringList{};
    QTest::newRow("total not a number") << "text" << QStringList{};
    QTest::newRow("no total") << "nototal" << QStringList{};
    QTest::newRow("missing group") << "absent" << QStringList{};
    QTest::newRow("any script, commas kept")
        << "scripts"
        << QStringList{QString::fromUtf8("系统设置"), QString::fromUtf8("Мышь"), "Rows, lines"};
}

void tst_LangStrings::groups()
{
    QFETCH(QString, group);
    QFETCH(QStringList, expected);
    TestDataFolder folder;
    folder.write("modules/i18n/Test.ini", testFile);
    myQQuickView view;
    QCOMPARE(view.getLangStrings(group, "Test"), expected);
}

void tst_LangStrings::otherReplacesTheCaptionsItCovers()
{
    TestDataFolder folder;
    folder.write("modules/i18n/Test.ini", testFile);
    myQQuickView view;

    // A huge count is capped, so the list stays small.
    const QStringList huge = view.getLangStrings("huge", "Test");
    QCOMPARE(huge.size(), 1024);
    QCOMPARE(huge.first(), QStringLiteral("a"));

    QCOMPARE(dpiSwitchText[0], QStringLiteral("DPI Switch to"));
    QCOMPARE(view.getLangStrings("other", "Test").size(), 5);
    const QStringList expected{
        "S1", "S2", "S3", "S4", "S5", "DPI Switch to", "DPI Switch to", "DPI Switch to"};
    for (int i = 0; i < dpiSwitchTextCount; ++i)
        QCOMPARE(dpiSwitchText[i], expected.at(i));

    // A missing file changes nothing.
    QVERIFY(view.getLangStrings("other", "Nowhere").isEmpty());
    QCOMPARE(dpiSwitchText[0], QStringLiteral("S1"));
}

void tst_LangStrings::hostileLanguageCodesReadNothing_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("empty") << "";
    QTest::newRow("dot") << ".";
    QTest::newRow("dot dot") << "..";
    QTest::newRow("path") << "../i18n/Test";
    QTest::newRow("backslash") << "..\\Test";
    QTest::newRow("control") << "Te\nst";
}

void tst_LangStrings::hostileLanguageCodesReadNothing()
{
    QFETCH(QString, code);
    TestDataFolder folder;
    folder.write("modules/i18n/Test.ini", testFile);
    // A file that a path through the code would reach.
    folder.write("modules/i18n/.ini", testFile);
    folder.write("modules/Test.ini", testFile);
    myQQuickView view;
    QVERIFY(view.getLangStrings("three", code).isEmpty());
}

void tst_LangStrings::deliveredFilesHaveEveryGroupTheSceneReads_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("count");
    // The groups in the order the main scene asks for them.
    QTest::newRow("main") << "main" << 11;
    QTest::newRow("keyMatrix") << "keyMatrix" << 2;
    QTest::newRow("keyAssigment") << "keyAssigment" << 57;
    QTest::newRow("dpiSetting") << "dpiSetting" << 1;
    QTest::newRow("lightControl") << "lightControl" << 16;
    QTest::newRow("macroEditor") << "macroEditor" << 18;
    QTest::newRow("systemSetting") << "systemSetting" << 8;
    QTest::newRow("gunControl") << "gunControl" << 10;
    QTest::newRow("profile") << "profile" << 6;
    QTest::newRow("keyCode") << "keyCode" << 133;
    QTest::newRow("other") << "other" << 9;
}

void tst_LangStrings::deliveredFilesHaveEveryGroupTheSceneReads()
{
    QFETCH(QString, group);
    QFETCH(int, count);
    for (const char *language : {"English", "ChineseSimplified"}) {
        const QStringList texts = LangStrings::read(group, language);
        QVERIFY2(texts.size() == count,
                 qPrintable(QStringLiteral("%1: %2").arg(language).arg(texts.size())));
        for (int i = 0; i < count; ++i)
            QVERIFY2(!texts.at(i).trimmed().isEmpty(),
                     qPrintable(QStringLiteral("%1 entry %2").arg(language).arg(i)));
    }
}

void tst_LangStrings::englishTextsAreTheScreensDefaults_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    // Labels that the screens complete with a number keep their space.
    QTest::newRow("keyMatrix 0") << "keyMatrix" << 0 << "Key ";
    QTest::newRow("keyMatrix 1") << "keyMatrix" << 1 << "Key Function";
    QTest::newRow("keyAssigment 0") << "keyAssigment" << 0 << "Key ";
    QTest::newRow("keyAssigment 19")
        << "keyAssigment" << 19 << "Macro runs endless loop until any button is pressed";
    QTest::newRow("keyAssigment 33") << "keyAssigment" << 33 << "Volumn+";
    QTest::newRow("keyAssigment 56") << "keyAssigment" << 56 << "Sniper Key";
    QTest::newRow("lightControl 15") << "lightControl" << 15 << "Breath Loop";
    QTest::newRow("macroEditor 17") << "macroEditor" << 17 << "Insert Right Key";
    QTest::newRow("gunControl 9") << "gunControl" << 9 << "Endness";
    QTest::newRow("profile 5") << "profile" << 5 << "Standard";
    QTest::newRow("other 8") << "other" << 8
                             << "Access to the mouse was denied. Install the udev rule "
                                "70-skarn-config.rules (see the README) and plug the mouse in "
                                "again.";
}

void tst_LangStrings::englishTextsAreTheScreensDefaults()
{
    QFETCH(QString, group);
    QFETCH(int, index);
    QFETCH(QString, text);
    QCOMPARE(LangStrings::read(group, "English").value(index), text);
    // The Chinese file is a translation, not a copy.
    QVERIFY(LangStrings::read(group, "ChineseSimplified").value(index) != text);
}

void tst_LangStrings::deliveredOtherGroupFillsOnlyTheDpiCaptions()
{
    const QStringList texts = LangStrings::read("other", "ChineseSimplified");
    QCOMPARE(texts.size(), 9);
    for (int i = 0; i < dpiSwitchTextCount; ++i)
        QCOMPARE(dpiSwitchText[i], texts.at(i));
    QVERIFY(texts.at(8).contains(QStringLiteral("70-skarn-config.rules")));
}

QTEST_MAIN(tst_LangStrings)
#include "tst_langstrings.moc"
