#include "filereplace.h"
#include "testdatafolder.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTest>

class tst_FileReplace : public QObject
{
    Q_OBJECT

private slots:
    void replacesContent();
    void missingSourceLeavesTarget();
    void createsMissingTarget();
    void leavesNoTemporaryFiles();
    void replacementIsAlwaysNewer();
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

void tst_FileReplace::replacementIsAlwaysNewer()
{
    TestDataFolder folder(false);
    folder.write("a.bin", "1");
    folder.write("b.bin", "2");
    // Even a target stamped later than now is followed by a newer file.
    const QDateTime future = QDateTime::currentDateTime().addSecs(3600);
    {
        QFile target(folder.filePath("b.bin"));
        QVERIFY(target.open(QIODevice::ReadWrite));
        QVERIFY(target.setFileTime(future, QFileDevice::FileModificationTime));
    }
    QVERIFY(FileReplace::copyOver(folder.filePath("a.bin"), folder.filePath("b.bin")));
    QCOMPARE(folder.read("b.bin"), QByteArray("1"));
    QVERIFY(QFileInfo(folder.filePath("b.bin")).lastModified() > future);
}

QTEST_GUILESS_MAIN(tst_FileReplace)
#include "tst_filereplace.moc"
