#include "datafolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_DataFolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void portableFolderIsUsedAsItIs();
    void installedProgramSeedsTheUserFolder();

private:
    static void write(const QString &path, const QByteArray &content);
    static QByteArray read(const QString &path);
    QTemporaryDir m_home;
};

void tst_DataFolder::initTestCase()
{
    qputenv("XDG_DATA_HOME", m_home.filePath("data").toUtf8());
}

void tst_DataFolder::write(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray tst_DataFolder::read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

void tst_DataFolder::portableFolderIsUsedAsItIs()
{
    const QString previous = QDir::currentPath();
    QTemporaryDir portable;
    QDir(portable.path()).mkpath("modules/setting");
    QCOMPARE(DataFolder::enter(portable.path()), portable.path());
    QCOMPARE(QDir::currentPath(), QDir(portable.path()).canonicalPath());
    QVERIFY(!QFileInfo::exists(m_home.filePath("data/skarn-config")));
    QDir::setCurrent(previous);
}

// The factory files of <prefix>/share/skarn-config fill in what the user's
// folder lacks, writable; the user's own files stay.
void tst_DataFolder::installedProgramSeedsTheUserFolder()
{
    QTemporaryDir prefix;
    const QString factory = prefix.filePath("share/skarn-config/modules/");
    write(factory + "setting/apConfig.bin", "[common]\n");
    write(factory + "setting/p1.bin", "factory");
    write(factory + "gun/gunData.bin", "[gunData]\n");
    QFile::setPermissions(factory + "setting/apConfig.bin", QFileDevice::ReadOwner);
    const QString user = m_home.filePath("data/skarn-config/modules/");
    write(user + "setting/p1.bin", "mine");
    QDir(prefix.path()).mkpath("bin");

    QCOMPARE(DataFolder::choose(prefix.filePath("bin")), m_home.filePath("data/skarn-config"));
    QCOMPARE(read(user + "setting/apConfig.bin") + read(user + "setting/p1.bin") +
                 read(user + "gun/gunData.bin"),
             QByteArray("[common]\nmine[gunData]\n"));
    QVERIFY(QFile::permissions(user + "setting/apConfig.bin").testFlag(QFileDevice::WriteOwner));
}

QTEST_GUILESS_MAIN(tst_DataFolder)
#include "tst_datafolder.moc"
