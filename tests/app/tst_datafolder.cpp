#include "datafolder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
void write(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
}
} // namespace

class tst_DataFolder : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", m_home.filePath("data").toUtf8()); }

    // The factory files fill in what the user's folder lacks, writable; the user's own
    // files stay. The folder the program started in is never its data folder.
    void portableFolderOrSeededUserFolder()
    {
        const QString started = QDir::currentPath();
        QTemporaryDir portable;
        QDir(portable.path()).mkpath("modules/setting");
        QCOMPARE(DataFolder::enter(portable.path()), portable.path());
        QVERIFY(!QFileInfo::exists(m_home.filePath("data/skarn-config")));
        // A program copied on its own, without factory files: its user folder, made empty.
        QTemporaryDir alone;
        QCOMPARE(DataFolder::enter(alone.path()), DataFolder::userFolder());
        QVERIFY(QFileInfo(DataFolder::userFolder() + "/modules/setting").isDir());
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
        QByteArray seeded;
        for (const char *name : {"setting/apConfig.bin", "setting/p1.bin", "gun/gunData.bin"}) {
            QFile file(user + name);
            seeded += file.open(QIODevice::ReadOnly) ? file.readAll() : "missing";
        }
        QCOMPARE(seeded, QByteArray("[common]\nmine[gunData]\n"));
        QVERIFY(
            QFile::permissions(user + "setting/apConfig.bin").testFlag(QFileDevice::WriteOwner));
        QVERIFY(!DataFolder::isTemporary());

        // A user folder that cannot be made: a temporary copy of the factory files, and said.
        write(m_home.filePath("file"), "");
        qputenv("XDG_DATA_HOME", m_home.filePath("file/data").toUtf8());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot use the data folder"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Working on a temporary copy"));
        const QString copy = DataFolder::enter(prefix.filePath("bin"));
        QVERIFY(DataFolder::isTemporary() && copy != started);
        QCOMPARE(QDir(copy + "/modules/setting").entryList(QDir::Files),
                 (QStringList{"apConfig.bin", "p1.bin"}));
        // Nor without factory files.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot use the data folder"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Working on a temporary copy"));
        QCOMPARE(DataFolder::enter(alone.path()), copy);
        QCOMPARE(QDir::currentPath(), started);
    }
};

QTEST_GUILESS_MAIN(tst_DataFolder)
#include "tst_datafolder.moc"
