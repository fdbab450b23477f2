#include "langstrings.h"
#include "myqquickview.h"
#include "processstate.h"
#include "testdatafolder.h"

#include <QTest>

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

class tst_LangStrings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        for (QString &caption : processState.dpiSwitchText)
            caption = QStringLiteral("DPI Switch to");
    }

    void groups_data()
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

    void groups()
    {
        QFETCH(QString, group);
        QFETCH(QStringList, expected);
        TestDataFolder folder;
        folder.write("modules/i18n/Test.ini", testFile);
        myQQuickView view;
        QCOMPARE(view.getLangStrings(group, "Test"), expected);
    }

    void otherReplacesTheCaptionsItCovers()
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

    void hostileLanguageCodesReadNothing_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("empty") << "";
        QTest::newRow("dot") << ".";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("path") << "../i18n/Test";
        QTest::newRow("backslash") << "..\\Test";
        QTest::newRow("control") << "Te\nst";
    }

    void hostileLanguageCodesReadNothing()
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
};

QTEST_MAIN(tst_LangStrings)
#include "tst_langstrings.moc"
