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
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    for (QString path = dir; !path.isEmpty(); path = it.hasNext() ? it.next() : QString()) {
        const QFile::Permissions p = QFile::permissions(path);
        QFile::setPermissions(path, writable ? p | QFile::WriteOwner | QFile::WriteUser
                                             : p & ~(QFile::WriteOwner | QFile::WriteUser |
                                                     QFile::WriteGroup | QFile::WriteOther));
    }
}

// Runs `program` until its output holds `until`, then terminates it; the
// output ends in "exit <code>". The data folder and tray lines are routine.
QByteArray runUntil(const Program &program, const QByteArray &until)
{
    const auto process = program.start({"--verbose"});
    QByteArray output;
    Program::waitForOutput(*process, output, until);
    const int code = Program::stop(*process);
    return output + process->readAll() + "\nexit " + QByteArray::number(code);
}
} // namespace

class tst_Install : public QObject
{
    Q_OBJECT

    QString prefixPath(const QString &relative) const { return m_prefix.filePath(relative); }
    QString factoryDir() const { return prefixPath(SKARN_DATADIR "/skarn-config"); }
    QString exe() const { return prefixPath(SKARN_BINDIR "/skarn-config"); }
    QTemporaryDir m_prefix;

private slots:
    void initTestCase();
    void cleanupTestCase() { setWritable(factoryDir(), true); } // so the prefix can go
    void installsTheLayout();
    void userFolderIsSeededAndKept();
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

// Drawn icons, not empty ones: the centre opaque. The factory data is the
// delivered data, none of it left out.
void tst_Install::installsTheLayout()
{
    for (const char *file : {"metainfo/org.example.SkarnConfig.metainfo.xml",
                             "icons/hicolor/scalable/apps/skarn-config.svg",
                             "bash-completion/completions/skarn-config"})
        QVERIFY2(QFileInfo(prefixPath(SKARN_DATADIR "/") + file).isFile(), file);
    const QString rulesDir = QDir::isAbsolutePath(SKARN_UDEV_RULES_DIR)
                                 ? QStringLiteral(SKARN_UDEV_RULES_DIR)
                                 : prefixPath(SKARN_UDEV_RULES_DIR);
    QCOMPARE(read(rulesDir + "/70-skarn-config.rules"), read(SKARN_UDEV_RULES));
    const QByteArray entry =
        read(prefixPath(SKARN_DATADIR "/applications/org.example.SkarnConfig.desktop"));
    QVERIFY(entry.contains("\nExec=skarn-config\n") && entry.contains("\nIcon=skarn-config\n"));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage image(prefixPath(
            QStringLiteral(SKARN_DATADIR "/icons/hicolor/%1x%1/apps/skarn-config.png").arg(size)));
        QCOMPARE(image.size(), QSize(size, size));
        QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
    }
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

// The first start seeds the user folder under XDG_DATA_HOME with the factory
// files, writable; the next keeps the user's edits and brings back what the
// user removed. Without access to the mouse the user is told in the
// installed language file's words, and the program stays in the tray. A
// portable folder beside the executable wins over the user folder.
void tst_Install::userFolderIsSeededAndKept()
{
    Program program(exe(), QString());
    program.env.insert("HOME", program.dir.path());
    program.env.insert("XDG_DATA_HOME", program.filePath("data"));
    const QString user = program.filePath("data/skarn-config/modules/");
    const QMap<QString, QByteArray> factory = contents(factoryDir());
    QByteArray output = runUntil(program, "Device Connect");
    QVERIFY2(output.contains("Data folder: " + program.filePath("data/skarn-config").toUtf8()) &&
                 output.endsWith("\nexit 0"),
             output.constData());
    const QMap<QString, QByteArray> seeded = contents(user);
    for (const QString &file : contents(factoryDir() + "/modules").keys()) {
        QVERIFY2(seeded.value(file) == factory.value("modules/" + file), qPrintable(file));
        QVERIFY2(QFileInfo(user + file).isWritable(), qPrintable(file));
    }

    QSettings(user + "setting/p1.bin", QSettings::IniFormat).setValue("mine/kept", 1);
    const QByteArray edited = read(user + "setting/p1.bin");
    QVERIFY(edited.contains("kept=1") && QFile::remove(user + "setting/p2.bin"));
    output = runUntil(program, "Device Connect");
    QVERIFY2(output.contains("Device Connect") && output.endsWith("\nexit 0"), output.constData());
    QCOMPARE(read(user + "setting/p1.bin"), edited);
    QCOMPARE(read(user + "setting/p2.bin"), factory.value("modules/setting/p2.bin"));

    program.env.insert("SKARN_VIRTUAL_MOUSE_ACCESS", "denied");
    const QString notice =
        QSettings(factoryDir() + "/modules/i18n/English.ini", QSettings::IniFormat)
            .value("other/8")
            .toString();
    QVERIFY(notice.contains("70-skarn-config.rules"));
    output = runUntil(program, "Tray message:");
    QVERIFY2(output.contains("Tray message: Info - " + notice.toUtf8()) &&
                 output.contains("Device DisConnect") && !output.contains("Device Connect") &&
                 !output.contains("Detect Device") && output.endsWith("\nexit 0"),
             output.constData());
    QCOMPARE(contents(factoryDir()), factory);

    Program portable(exe(), factoryDir() + "/modules");
    setWritable(portable.dir.path(), true);
    portable.env = program.env;
    portable.env.remove("SKARN_VIRTUAL_MOUSE_ACCESS");
    portable.env.insert("SKARN_VIRTUAL_MOUSE_RECORD", portable.filePath("mouse.log"));
    output = runUntil(portable, "Device Connect");
    QVERIFY2(
        (output.contains("Data folder: " + QDir(portable.dir.path()).canonicalPath().toUtf8()) ||
         output.contains("Data folder: " + portable.dir.path().toUtf8())) &&
            output.endsWith("\nexit 0"),
        output.constData());
}

QTEST_GUILESS_MAIN(tst_Install)
#include "tst_install.moc"
