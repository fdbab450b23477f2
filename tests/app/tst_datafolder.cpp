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
    void installedProgramUsesSeededUserFolder();
    void seedingNeverOverwritesUserFiles();

private:
    static void write(const QString &path, const QByteArray &content);
    QTemporaryDir m_home;
};

void tst_DataFolder::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_DATA_HOME", m_home.filePath("data").toUtf8());
}

void tst_DataFolder::write(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void tst_DataFolder::portableFolderIsUsedAsItIs()
{
    const QString previous = QDir::currentPath();
    QTemporaryDir portable;
    QDir(portable.path()).mkpath("modules/setting");
    QCOMPARE(DataFolder::choose(portable.path()), portable.path());
    QVERIFY(!QFileInfo::exists(m_home.filePath("data/skarn-config")));
    QCOMPARE(DataFolder::enter(portable.path()), portable.path());
    QCOMPARE(QDir::currentPath(), QDir(portable.path()).canonicalPath());
    QDir::setCurrent(previous);
}

void tst_DataFolder::installedProgramUsesSeededUserFolder()
{
    QTemporaryDir prefix;
    write(prefix.filePath("share/skarn-config/modules/setting/apConfig.bin"), "[common]\n");
    write(prefix.filePath("share/skarn-config/modules/gun/gunData.bin"), "[gunData]\n");
    QFile::setPermissions(prefix.filePath("share/skarn-config/modules/setting/apConfig.bin"),
                          QFileDevice::ReadOwner);
    QDir(prefix.path()).mkpath("bin");

    const QString folder = DataFolder::choose(prefix.filePath("bin"));
    QCOMPARE(folder, m_home.filePath("data/skarn-config"));
    QFile seeded(folder + "/modules/setting/apConfig.bin");
    QVERIFY(seeded.open(QIODevice::ReadOnly));
    QCOMPARE(seeded.readAll(), QByteArray("[common]\n"));
    QVERIFY(seeded.permissions().testFlag(QFileDevice::WriteOwner));
    QVERIFY(QFileInfo::exists(folder + "/modules/gun/gunData.bin"));
}

void tst_DataFolder::seedingNeverOverwritesUserFiles()
{
    QTemporaryDir factory, user;
    write(factory.filePath("modules/setting/p1.bin"), "factory");
    write(factory.filePath("modules/setting/p2.bin"), "factory");
    write(user.filePath("modules/setting/p1.bin"), "mine");
    DataFolder::seed(factory.path(), user.path());

    QFile mine(user.filePath("modules/setting/p1.bin"));
    QVERIFY(mine.open(QIODevice::ReadOnly));
    QCOMPARE(mine.readAll(), QByteArray("mine"));
    QVERIFY(QFileInfo::exists(user.filePath("modules/setting/p2.bin")));
}

QTEST_GUILESS_MAIN(tst_DataFolder)
#include "tst_datafolder.moc"
