#include "filereplace.h"
#include "testdatafolder.h"

#include <QDir>
#include <QTest>

class tst_FileReplace : public QObject
{
    Q_OBJECT

private slots:
    void replacesContent();
    void missingSourceLeavesTarget();
    void createsMissingTarget();
    void leavesNoTemporaryFiles();
};

void tst_FileReplace::replacesContent()
{
    TestDataFolder folder(false);
    folder.write("a.bin", "new content\n");
    folder.write("b.bin", "old\n");
    QVERIFY(FileReplace::copyOver(folder.filePath("a.bin"), folder.filePath("b.bin")));
    QCOMPARE(folder.read("b.bin"), QByteArray("new content\n"));
    QCOMPARE(folder.read("a.bin"), QByteArray("new content\n"));
}

void tst_FileReplace::missingSourceLeavesTarget()
{
    TestDataFolder folder(false);
    folder.write("b.bin", "old\n");
    QVERIFY(!FileReplace::copyOver(folder.filePath("none.bin"), folder.filePath("b.bin")));
    QCOMPARE(folder.read("b.bin"), QByteArray("old\n"));
    // A folder is not a readable source either.
    QVERIFY(!FileReplace::copyOver(folder.path(), folder.filePath("b.bin")));
    QCOMPARE(folder.read("b.bin"), QByteArray("old\n"));
}

void tst_FileReplace::createsMissingTarget()
{
    TestDataFolder folder(false);
    folder.write("a.bin", "x");
    QVERIFY(FileReplace::copyOver(folder.filePath("a.bin"), folder.filePath("c.bin")));
    QCOMPARE(folder.read("c.bin"), QByteArray("x"));
}

void tst_FileReplace::leavesNoTemporaryFiles()
{
    TestDataFolder folder(false);
    folder.write("a.bin", "x");
    folder.write("b.bin", "y");
    QVERIFY(FileReplace::copyOver(folder.filePath("a.bin"), folder.filePath("b.bin")));
    QVERIFY(!FileReplace::copyOver(folder.filePath("gone.bin"), folder.filePath("b.bin")));
    const QStringList files = QDir(folder.path()).entryList(QDir::Files);
    QCOMPARE(files, (QStringList{"a.bin", "b.bin"}));
}

QTEST_GUILESS_MAIN(tst_FileReplace)
#include "tst_filereplace.moc"
