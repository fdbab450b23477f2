#include "linkstate.h"
#include "myqquickview.h"
#include "testdatafolder.h"

#include <QTest>

class tst_LangStrings : public QObject
{
    Q_OBJECT

private slots:
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
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("minimum");
    for (const char *language : {"English", "ChineseSimplified"}) {
        QTest::addRow("%s main", language) << language << "main" << 11;
        QTest::addRow("%s dpiSetting", language) << language << "dpiSetting" << 1;
        QTest::addRow("%s systemSetting", language) << language << "systemSetting" << 8;
        QTest::addRow("%s keyCode", language) << language << "keyCode" << 133;
        QTest::addRow("%s other", language) << language << "other" << 8;
    }
}

void tst_LangStrings::deliveredFilesHaveEveryGroupTheSceneReads()
{
    QFETCH(QString, language);
    QFETCH(QString, group);
    QFETCH(int, minimum);
    TestDataFolder folder;
    myQQuickView view;
    const QStringList texts = view.getLangStrings(group, language);
    QVERIFY2(texts.size() >= minimum, qPrintable(QString::number(texts.size())));
    if (group == QLatin1String("keyCode"))
        QCOMPARE(texts.size(), 133);
    for (int i = 0; i < minimum; ++i)
        QVERIFY2(!texts.at(i).isEmpty(), qPrintable(QStringLiteral("entry %1").arg(i)));
}

QTEST_MAIN(tst_LangStrings)
#include "tst_langstrings.moc"
