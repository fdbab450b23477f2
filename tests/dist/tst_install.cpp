// Installs the build into a temporary prefix with CMake's install step and
// runs the installed program as a user would, with a home of its own.
#include "program.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QSettings>
#include <QTest>

namespace {
QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable";
}

// The contents of every file under `dir`, by relative path.
QMap<QString, QByteArray> contents(const QString &dir)
{
    QMap<QString, QByteArray> result;
    for (QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        result[QDir(dir).relativeFilePath(path)] = read(path);
    }
    return result;
}

void setWritable(const QString &dir, bool writable)
{
    const QFile::Permissions write =
        QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    for (QString path = dir; !path.isEmpty(); path = it.hasNext() ? it.next() : QString()) {
        const QFile::Permissions p = QFile::permissions(path);
        QFile::setPermissions(path,
                              writable ? p | QFile::WriteOwner | QFile::WriteUser : p & ~write);
    }
}

// Runs `program` until its output holds `until`, then terminates it.
QByteArray runUntil(const Program &program, const QByteArray &until, int *exitCode)
{
    // The data folder and tray lines are routine ones.
    const auto process = program.start({"--verbose"});
    QByteArray output;
    Program::waitForOutput(*process, output, until);
    *exitCode = Program::stop(*process);
    return output + process->readAll();
}
} // namespace

class tst_Install : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { setWritable(factoryDir(), true); } // so the prefix can go
    void installsTheLayout();
    void userFolderIsSeededAndKept();
    void portableFolderBesideTheExecutableWins();

private:
    QString prefixPath(const QString &relative) const { return m_prefix.filePath(relative); }
    QString factoryDir() const { return prefixPath(SKARN_DATADIR "/skarn-config"); }
    QString exe() const { return prefixPath(SKARN_BINDIR "/skarn-config"); }

    QTemporaryDir m_prefix;
};

void tst_Install::initTestCase()
{
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(SKARN_CMAKE, {"--install", SKARN_BUILD_DIR, "--prefix", m_prefix.path()});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());
    // Installed files are the packager's; the program must never need to
    // write them. Make that a hard fault for the rest of the test.
    setWritable(factoryDir(), false);
}

void tst_Install::installsTheLayout()
{
    QVERIFY(QFileInfo(exe()).isExecutable());
    for (const char *file : {"metainfo/org.example.SkarnConfig.metainfo.xml",
                             "icons/hicolor/scalable/apps/skarn-config.svg",
                             "bash-completion/completions/skarn-config"})
        QVERIFY2(QFileInfo(prefixPath(SKARN_DATADIR "/") + file).isFile(), file);
    const QString rulesDir = QDir::isAbsolutePath(SKARN_UDEV_RULES_DIR)
                                 ? QStringLiteral(SKARN_UDEV_RULES_DIR)
                                 : prefixPath(SKARN_UDEV_RULES_DIR);
    QCOMPARE(read(rulesDir + "/70-skarn-config.rules"), read(SKARN_UDEV_RULES));
    // The desktop entry starts the installed executable and names the icon.
    const QByteArray entry =
        read(prefixPath(SKARN_DATADIR "/applications/org.example.SkarnConfig.desktop"));
    QVERIFY(entry.contains("\nExec=skarn-config\n") && entry.contains("\nIcon=skarn-config\n"));

    // Drawn icons, not empty ones: the centre opaque, the corners clear.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage image(prefixPath(
            QStringLiteral(SKARN_DATADIR "/icons/hicolor/%1x%1/apps/skarn-config.png").arg(size)));
        QCOMPARE(image.size(), QSize(size, size));
        QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
        QVERIFY(qAlpha(image.pixel(0, 0)) < 128);
    }

    // The factory data is the delivered data, none of it left out.
    const QMap<QString, QByteArray> delivered = contents(TestDataFolder::factoryModules());
    const QMap<QString, QByteArray> installed = contents(factoryDir() + "/modules");
    for (auto it = installed.begin(); it != installed.end(); ++it)
        QCOMPARE(delivered.value(it.key()), it.value());
    for (const QString &file : delivered.keys()) {
        if (file.startsWith("setting/") || file.startsWith("gun/") || file.startsWith("i18n/"))
            QVERIFY2(installed.contains(file), qPrintable(file));
    }
    QVERIFY(installed.contains("img/logo.ico"));
}

// The first start seeds the user folder under XDG_DATA_HOME with the
// factory files, writable; the next keeps the user's edits and brings back
// what the user removed. Without access to the mouse the user is told in
// the installed language file's words, and the program stays in the tray.
void tst_Install::userFolderIsSeededAndKept()
{
    Program program(exe(), QString());
    program.env.insert("HOME", program.dir.path());
    program.env.insert("XDG_DATA_HOME", program.filePath("data"));
    const QString user = program.filePath("data/skarn-config/modules/");
    const QMap<QString, QByteArray> factory = contents(factoryDir());
    int code = -1;
    QByteArray output = runUntil(program, "Device Connect", &code);
    QVERIFY2(output.contains("Data folder: " + program.filePath("data/skarn-config").toUtf8()),
             output.constData());
    QCOMPARE(code, 0);
    const QMap<QString, QByteArray> seeded = contents(user);
    for (const QString &file : contents(factoryDir() + "/modules").keys()) {
        QVERIFY2(seeded.value(file) == factory.value("modules/" + file), qPrintable(file));
        QVERIFY2(QFileInfo(user + file).isWritable(), qPrintable(file));
    }

    QFile profile(user + "setting/p1.bin");
    QVERIFY(profile.open(QIODevice::Append));
    profile.write("[mine]\nkept=1\n");
    profile.close();
    const QByteArray edited = read(user + "setting/p1.bin");
    QVERIFY(QFile::remove(user + "setting/p2.bin"));
    output = runUntil(program, "Device Connect", &code);
    QVERIFY2(output.contains("Device Connect"), output.constData());
    QCOMPARE(code, 0);
    QCOMPARE(read(user + "setting/p1.bin"), edited);
    QCOMPARE(read(user + "setting/p2.bin"), factory.value("modules/setting/p2.bin"));

    program.env.insert("SKARN_VIRTUAL_MOUSE_ACCESS", "denied");
    const QString notice =
        QSettings(factoryDir() + "/modules/i18n/English.ini", QSettings::IniFormat)
            .value("other/8")
            .toString();
    QVERIFY(notice.contains("70-skarn-config.rules"));
    output = runUntil(program, "Tray message:", &code);
    QVERIFY2(output.contains("Tray message: Info - " + notice.toUtf8()), output.constData());
    QVERIFY(output.contains("Device DisConnect") && !output.contains("Device Connect") &&
            !output.contains("Detect Device"));
    QCOMPARE(code, 0);
    QCOMPARE(contents(factoryDir()), factory);
}

void tst_Install::portableFolderBesideTheExecutableWins()
{
    Program portable(exe(), factoryDir() + "/modules");
    setWritable(portable.dir.path(), true);
    portable.env.insert("HOME", portable.filePath("home"));
    portable.env.insert("XDG_DATA_HOME", portable.filePath("home/data"));
    int code = -1;
    const QByteArray output = runUntil(portable, "Device Connect", &code);
    QVERIFY2(
        output.contains("Data folder: " + QDir(portable.dir.path()).canonicalPath().toUtf8()) ||
            output.contains("Data folder: " + portable.dir.path().toUtf8()),
        output.constData());
    QCOMPARE(code, 0);
    QVERIFY(!QFileInfo::exists(portable.filePath("home/data/skarn-config")));
}

QTEST_GUILESS_MAIN(tst_Install)
#include "tst_install.moc"
