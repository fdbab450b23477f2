#include "langstrings.h"
#include "myqquickview.h"
#include "processstate.h"
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

private:
    static void resetCaptions();

    // The delivered files, current for every test without its own folder.
    std::unique_ptr<TestDataFolder> m_delivered;
};

static const QByteArray testFile =
    "[three]\ntotal=3\n0=first\n2=third\n"
    "[padded]\ntotal=4\n0=only\n"
    "[huge]\ntotal=99999999\n0=a\n"
    "[negative]\ntotal=-5\n0=a\n"
    "[text]\ntotal=abc\n0=a\n"
    "[nototal]\n0=a\n"
    "[scripts]\ntotal=3\n0=\xe7\xb3\xbb\xe7\xbb\x9f\xe8\xae\xbe\xe7\xbd\xae\n"
    "1=\xd0\x9c\xd1\x8b\xd1\x88\xd1\x8c\n2=Rows, lines\n"
    "[other]\ntotal=5\n0=S1\n1=S2\n2=S3\n3=S4\n4=S5\n";

void tst_LangStrings::resetCaptions()
{
    for (QString &caption : processState.dpiSwitchText)
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
    // A huge count is capped, so the list stays small.
    QTest::newRow("huge total") << "huge" << QStringList{"a"} + QStringList(1023, QString());
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

    QCOMPARE(processState.dpiSwitchText[0], QStringLiteral("DPI Switch to"));
    QCOMPARE(view.getLangStrings("other", "Test").size(), 5);
    const QStringList expected{
        "S1", "S2", "S3", "S4", "S5", "DPI Switch to", "DPI Switch to", "DPI Switch to"};
    for (int i = 0; i < ProcessState::dpiSwitchTextCount; ++i)
        QCOMPARE(processState.dpiSwitchText[i], expected.at(i));

    // A missing file changes nothing.
    QVERIFY(view.getLangStrings("other", "Nowhere").isEmpty());
    QCOMPARE(processState.dpiSwitchText[0], QStringLiteral("S1"));

    // The delivered texts fill all eight.
    const QStringList chinese = view.getLangStrings("other", "ChineseSimplified");
    for (int i = 0; i < ProcessState::dpiSwitchTextCount; ++i)
        QCOMPARE(processState.dpiSwitchText[i], chinese.at(i));
    QVERIFY(chinese.at(8).contains(QStringLiteral("70-skarn-config.rules")));
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

using Texts = QMap<int, QString>;

void tst_LangStrings::deliveredFilesHaveEveryGroupTheSceneReads_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("count");
    // English texts that are the screens' defaults. Labels that the screens
    // complete with a number keep their space.
    QTest::addColumn<Texts>("english");
    // The groups in the order the main scene asks for them.
    QTest::newRow("main") << "main" << 14 << Texts{{13, "Close"}};
    QTest::newRow("keyMatrix") << "keyMatrix" << 3 << Texts{{0, "Key "}, {1, "Key Function"}};
    QTest::newRow("keyAssigment") << "keyAssigment" << 59
                                  << Texts{{0, "Key "},
                                           {19,
                                            "Macro runs endless loop until any button is pressed"},
                                           {33, "Volumn+"},
                                           {56, "Sniper Key"}};
    QTest::newRow("dpiSetting") << "dpiSetting" << 3 << Texts{{2, "DPI stage %1: %2"}};
    QTest::newRow("lightControl") << "lightControl" << 20
                                  << Texts{{15, "Breath Loop"}, {19, "Blue"}};
    QTest::newRow("macroEditor") << "macroEditor" << 19 << Texts{{17, "Insert Right Key"}};
    QTest::newRow("systemSetting") << "systemSetting" << 10 << Texts();
    QTest::newRow("gunControl") << "gunControl" << 11 << Texts{{9, "Endness"}};
    QTest::newRow("profile") << "profile" << 7 << Texts{{5, "Standard"}};
    QTest::newRow("keyCode") << "keyCode" << 133 << Texts();
    QTest::newRow("other") << "other" << 9
                           << Texts{{8, "Access to the mouse was denied. Install the udev rule "
                                        "70-skarn-config.rules (see the README) and plug the "
                                        "mouse in again."}};
    QTest::newRow("notice") << "notice" << 6
                            << Texts{{3, "Discard"},
                                     {5, "The settings were not written to the mouse. Check that "
                                         "it is connected and try again."}};
}

void tst_LangStrings::deliveredFilesHaveEveryGroupTheSceneReads()
{
    QFETCH(QString, group);
    QFETCH(int, count);
    QFETCH(Texts, english);
    for (const char *language : {"English", "ChineseSimplified"}) {
        const QStringList texts = LangStrings::read(group, language);
        QVERIFY2(texts.size() == count,
                 qPrintable(QStringLiteral("%1: %2").arg(language).arg(texts.size())));
        for (int i = 0; i < count; ++i)
            QVERIFY2(!texts.at(i).trimmed().isEmpty(),
                     qPrintable(QStringLiteral("%1 entry %2").arg(language).arg(i)));
    }
    for (auto it = english.begin(); it != english.end(); ++it) {
        QCOMPARE(LangStrings::read(group, "English").value(it.key()), it.value());
        // The Chinese file is a translation, not a copy.
        QVERIFY(LangStrings::read(group, "ChineseSimplified").value(it.key()) != it.value());
    }
}

QTEST_MAIN(tst_LangStrings)
#include "tst_langstrings.moc"
