#include "myqquickview.h"
#include "session.h"
#include "testdatafolder.h"

#include <QTest>

static const QByteArray testFile =
    "[three]\ntotal=3\n0=first\n2=third\n[padded]\ntotal=4\n0=only\n[huge]\ntotal=99999999\n0=a\n"
    "[negative]\ntotal=-5\n0=a\n[text]\ntotal=abc\n0=a\n[nototal]\n0=a\n"
    "[scripts]\ntotal=3\n0=\xe7\xb3\xbb\xe7\xbb\x9f\xe8\xae\xbe\xe7\xbd\xae\n"
    "1=\xd0\x9c\xd1\x8b\xd1\x88\xd1\x8c\n2=Rows, lines\n";

class tst_LangStrings : public QObject
{
    Q_OBJECT

private slots:
    void groups_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const QByteArray &name, const char *code, const char *group,
                            const QStringList &expected = {}) {
            QTest::newRow(name.constData()) << QString(code) << QString(group) << expected;
        };
        row("gap", "Test", "three", {"first", "", "third"});
        row("padded", "Test", "padded", {"only", "", "", ""});
        // A negative count, one that is no number, none, no group at all.
        for (const char *group : {"negative", "text", "nototal", "absent"})
            row(group, "Test", group);
        // A huge count is capped, so the list stays small.
        row("huge total", "Test", "huge", QStringList{"a"} + QStringList(1023, QString()));
        row("any script, commas kept", "Test", "scripts",
            {QString::fromUtf8("系统设置"), QString::fromUtf8("Мышь"), "Rows, lines"});
        // Language codes that would lead out of the folder read nothing.
        for (const char *code : {"", ".", "..", "../i18n/Test", "..\\Test", "Te\nst"})
            row("code " + QByteArray(code).toPercentEncoding(), code, "three");
    }

    void groups()
    {
        QFETCH(QString, code);
        QFETCH(QString, group);
        TestDataFolder folder;
        // Also files that a path through the code would reach.
        for (const char *file : {"modules/i18n/Test.ini", "modules/i18n/.ini", "modules/Test.ini"})
            folder.write(file, testFile);
        Session session(folder.path(), nullptr);
        myQQuickView view(session);
        QTEST(view.getLangStrings(group, code), "expected");
    }
};

QTEST_MAIN(tst_LangStrings)
#include "tst_langstrings.moc"
