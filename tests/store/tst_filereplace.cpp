#include "filereplace.h"
#include "storepaths.h"
#include "testdatafolder.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTest>

class tst_FileReplace : public QObject
{
    Q_OBJECT

private slots:
    void copyOver_data();
    void copyOver();
};

void tst_FileReplace::copyOver_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("replaces the target") << "a.bin" << true << true;
    QTest::newRow("creates a missing target") << "a.bin" << false << true;
    QTest::newRow("missing source") << "none.bin" << true << false;
    QTest::newRow("a folder as source") << "." << true << false;
    QTest::newRow("a source over 1 MiB") << "big.bin" << true << false;
}

void tst_FileReplace::copyOver()
{
    QFETCH(QString, source);
    QFETCH(bool, targetExists);
    QFETCH(bool, replaced);
    TestDataFolder folder(false);
    folder.write("a.bin", "new content\n");
    const QByteArray big(StorePaths::maxFileSize + 1, 'x');
    if (source == "big.bin")
        folder.write("big.bin", big);
    // Even a target stamped later than now is followed by a newer file.
    const QDateTime future = QDateTime::currentDateTime().addSecs(3600);
    if (targetExists) {
        folder.write("b.bin", "old\n");
        QFile target(folder.filePath("b.bin"));
        QVERIFY(target.open(QIODevice::ReadWrite));
        QVERIFY(target.setFileTime(future, QFileDevice::FileModificationTime));
    }
    QCOMPARE(FileReplace::copyOver(folder.filePath(source), folder.filePath("b.bin")), replaced);
    const QByteArray expected = replaced ? "new content\n" : "old\n";
    // Only the two files: no temporary file is left behind.
    QMap<QString, QByteArray> files{{"a.bin", "new content\n"}, {"b.bin", expected}};
    if (source == "big.bin")
        files.insert("big.bin", big);
    QCOMPARE(folder.snapshot(), files);
    if (targetExists)
        QCOMPARE(QFileInfo(folder.filePath("b.bin")).lastModified() > future, replaced);
}

QTEST_GUILESS_MAIN(tst_FileReplace)
#include "tst_filereplace.moc"
