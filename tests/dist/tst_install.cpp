// Installs the build into a temporary prefix with CMake's install step and
// runs the installed program as a user would, with a home of its own.
#include "testdatafolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class tst_Install : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void installsTheLayout();
    void iconSizes_data();
    void iconSizes();
    void factoryDataIsTheDeliveredData();
    void installedProgramUsesASeededUserFolder_data();
    void installedProgramUsesASeededUserFolder();
    void userFilesSurviveTheNextStart();
    void portableFolderBesideTheExecutableWins();
    void withoutDeviceAccessTheUserIsTold();

private:
    QString prefixPath(const QString &relative) const { return m_prefix.filePath(relative); }
    QString factoryDir() const { return prefixPath(SKARN_DATADIR "/skarn-config"); }
    // Content hashes of every file under `dir`, by relative path.
    static QMap<QString, QByteArray> hashes(const QString &dir);
    // Runs `exe` with this home and XDG_DATA_HOME (empty: unset) until it
    // connects to the virtual mouse, then terminates it. Returns its output.
    static QByteArray runUntilConnected(const QString &exe, const QString &home,
                                        const QString &dataHome, int *exitCode,
                                        const QByteArray &until = "Device Connect",
                                        bool accessDenied = false);
    static void setWritable(const QString &dir, bool writable);

    QTemporaryDir m_prefix;
    QTemporaryDir m_elsewhere;
};

void tst_Install::initTestCase()
{
    QVERIFY(m_prefix.isValid());
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(SKARN_CMAKE),
                  {"--install", SKARN_BUILD_DIR, "--prefix", m_prefix.path()});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());
    // Installed files are the packager's; the program must never need to
    // write them. Make that a hard fault for the rest of the test.
    setWritable(factoryDir(), false);
}

void tst_Install::cleanupTestCase()
{
    setWritable(factoryDir(), true); // so the temporary prefix can go
}

QMap<QString, QByteArray> tst_Install::hashes(const QString &dir)
{
    QMap<QString, QByteArray> result;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            result.insert(QDir(dir).relativeFilePath(path),
                          QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
        else
            result.insert(QDir(dir).relativeFilePath(path), "unreadable");
    }
    return result;
}

void tst_Install::setWritable(const QString &dir, bool writable)
{
    QDirIterator it(dir, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    QStringList paths{dir};
    while (it.hasNext())
        paths << it.next();
    for (const QString &path : paths) {
        QFile::Permissions p = QFile::permissions(path);
        const QFile::Permissions write = QFileDevice::WriteOwner | QFileDevice::WriteUser |
                                         QFileDevice::WriteGroup | QFileDevice::WriteOther;
        QFile::setPermissions(path, writable ? p | QFileDevice::WriteOwner | QFileDevice::WriteUser
                                             : p & ~write);
    }
}

void tst_Install::installsTheLayout()
{
    const QFileInfo exe(prefixPath(SKARN_BINDIR "/skarn-config"));
    QVERIFY(exe.isFile());
    QVERIFY(exe.isExecutable());
    QVERIFY(QFileInfo(prefixPath(SKARN_DATADIR "/applications/org.example.SkarnConfig.desktop"))
                .isFile());
    QVERIFY(QFileInfo(prefixPath(SKARN_DATADIR "/metainfo/org.example.SkarnConfig.metainfo.xml"))
                .isFile());
    QVERIFY(QFileInfo(prefixPath(SKARN_DATADIR "/icons/hicolor/scalable/apps/skarn-config.svg"))
                .isFile());
    QVERIFY(
        QFileInfo(prefixPath(SKARN_DATADIR "/bash-completion/completions/skarn-config")).isFile());
    const QString rulesDir = QDir::isAbsolutePath(SKARN_UDEV_RULES_DIR)
                                 ? QStringLiteral(SKARN_UDEV_RULES_DIR)
                                 : prefixPath(SKARN_UDEV_RULES_DIR);
    QFile installedRules(rulesDir + "/70-skarn-config.rules");
    QFile builtRules(SKARN_UDEV_RULES);
    QVERIFY(installedRules.open(QIODevice::ReadOnly));
    QVERIFY(builtRules.open(QIODevice::ReadOnly));
    QCOMPARE(installedRules.readAll(), builtRules.readAll());

    // The desktop entry starts the installed executable and names the icon.
    QFile desktop(prefixPath(SKARN_DATADIR "/applications/org.example.SkarnConfig.desktop"));
    QVERIFY(desktop.open(QIODevice::ReadOnly));
    const QByteArray entry = desktop.readAll();
    QVERIFY(entry.contains("\nExec=skarn-config\n"));
    QVERIFY(entry.contains("\nIcon=skarn-config\n"));
}

void tst_Install::iconSizes_data()
{
    QTest::addColumn<int>("size");
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        QTest::newRow(qPrintable(QString::number(size))) << size;
}

void tst_Install::iconSizes()
{
    QFETCH(int, size);
    const QString path = prefixPath(QStringLiteral(SKARN_DATADIR "/icons/hicolor/%1x%1/apps/"
                                                                 "skarn-config.png")
                                        .arg(size));
    QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(size, size));
    // Drawn, not empty: the centre is opaque and the corners clear.
    QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
    QVERIFY(qAlpha(image.pixel(0, 0)) < 128);
}

void tst_Install::factoryDataIsTheDeliveredData()
{
    const QMap<QString, QByteArray> installed = hashes(factoryDir() + "/modules");
    const QMap<QString, QByteArray> delivered = hashes(TestDataFolder::factoryModules());
    QVERIFY(installed.contains("setting/apConfig.bin"));
    QVERIFY(installed.contains("i18n/English.ini"));
    QVERIFY(installed.contains("img/logo.ico"));
    for (auto it = installed.begin(); it != installed.end(); ++it)
        QCOMPARE(it.value(), delivered.value(it.key()));
    for (const QString &file : delivered.keys()) {
        if (file.startsWith("setting/") || file.startsWith("gun/") || file.startsWith("i18n/"))
            QVERIFY2(installed.contains(file), qPrintable(file));
    }
}

QByteArray tst_Install::runUntilConnected(const QString &exe, const QString &home,
                                          const QString &dataHome, int *exitCode,
                                          const QByteArray &until, bool accessDenied)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    if (dataHome.isEmpty())
        env.remove("XDG_DATA_HOME");
    else
        env.insert("XDG_DATA_HOME", dataHome);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("SKARN_VIRTUAL_MOUSE", "553");
    if (accessDenied)
        env.insert("SKARN_VIRTUAL_MOUSE_ACCESS", "denied");
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(QDir::tempPath());
    // The data folder and tray lines are routine ones.
    process.start(exe, {"--verbose"});
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    while (!output.contains(until) && timer.elapsed() < 20000 &&
           process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(200);
        output += process.readAll();
    }
    process.terminate();
    process.waitForFinished(10000);
    output += process.readAll();
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return output;
}

void tst_Install::installedProgramUsesASeededUserFolder_data()
{
    QTest::addColumn<bool>("withXdgDataHome");
    QTest::newRow("XDG_DATA_HOME") << true;
    QTest::newRow("default under HOME") << false;
}

void tst_Install::installedProgramUsesASeededUserFolder()
{
    QFETCH(bool, withXdgDataHome);
    QTemporaryDir home;
    const QString dataHome = withXdgDataHome ? home.filePath("xdg-data") : QString();
    const QString userFolder =
        (withXdgDataHome ? dataHome : home.filePath(".local/share")) + "/skarn-config";
    const QMap<QString, QByteArray> before = hashes(factoryDir());

    int exitCode = -1;
    const QByteArray output = runUntilConnected(prefixPath(SKARN_BINDIR "/skarn-config"),
                                                home.path(), dataHome, &exitCode);
    QVERIFY2(output.contains("Device Connect"), output.constData());
    QVERIFY2(output.contains("Data folder: " + userFolder.toUtf8()), output.constData());
    QCOMPARE(exitCode, 0);

    // Every factory file was seeded, writable for the user, with the
    // factory content (the program writes nothing at start-up).
    const QMap<QString, QByteArray> factory = hashes(factoryDir() + "/modules");
    const QMap<QString, QByteArray> seeded = hashes(userFolder + "/modules");
    for (auto it = factory.begin(); it != factory.end(); ++it) {
        QCOMPARE(seeded.value(it.key()), it.value());
        QVERIFY(QFileInfo(userFolder + "/modules/" + it.key()).isWritable());
    }
    QCOMPARE(hashes(factoryDir()), before);
}

void tst_Install::userFilesSurviveTheNextStart()
{
    QTemporaryDir home;
    const QString userFolder = home.filePath("data/skarn-config");
    int exitCode = -1;
    QVERIFY(runUntilConnected(prefixPath(SKARN_BINDIR "/skarn-config"), home.path(),
                              home.filePath("data"), &exitCode)
                .contains("Device Connect"));

    // The user's own edit and a file the user removed on purpose.
    QFile profile(userFolder + "/modules/setting/p1.bin");
    QVERIFY(profile.open(QIODevice::Append));
    profile.write("[mine]\nkept=1\n");
    profile.close();
    const QByteArray edited = hashes(userFolder + "/modules").value("setting/p1.bin");
    QVERIFY(QFile::remove(userFolder + "/modules/setting/p2.bin"));

    const QByteArray output = runUntilConnected(prefixPath(SKARN_BINDIR "/skarn-config"),
                                                home.path(), home.filePath("data"), &exitCode);
    QVERIFY2(output.contains("Device Connect"), output.constData());
    QCOMPARE(exitCode, 0);
    QCOMPARE(hashes(userFolder + "/modules").value("setting/p1.bin"), edited);
    // Missing files come back from the factory set.
    QVERIFY(QFileInfo::exists(userFolder + "/modules/setting/p2.bin"));
}

void tst_Install::portableFolderBesideTheExecutableWins()
{
    QTemporaryDir portable, home;
    QVERIFY(
        QFile::copy(prefixPath(SKARN_BINDIR "/skarn-config"), portable.filePath("skarn-config")));
    QFile::setPermissions(portable.filePath("skarn-config"),
                          QFile::permissions(portable.filePath("skarn-config")) |
                              QFileDevice::ExeOwner);
    TestDataFolder::copyTree(factoryDir() + "/modules", portable.filePath("modules"));
    setWritable(portable.path(), true);

    int exitCode = -1;
    const QByteArray output = runUntilConnected(portable.filePath("skarn-config"), home.path(),
                                                home.filePath("data"), &exitCode);
    QVERIFY2(output.contains("Device Connect"), output.constData());
    QVERIFY2(output.contains("Data folder: " + QDir(portable.path()).canonicalPath().toUtf8()) ||
                 output.contains("Data folder: " + portable.path().toUtf8()),
             output.constData());
    QCOMPARE(exitCode, 0);
    QVERIFY(!QFileInfo::exists(home.filePath("data/skarn-config")));
}

void tst_Install::withoutDeviceAccessTheUserIsTold()
{
    // A user whose mouse node lacks the udev rule: the notice comes in the
    // installed language file's words, and the program stays in the tray.
    QSettings english(factoryDir() + "/modules/i18n/English.ini", QSettings::IniFormat);
    const QString notice = english.value("other/8").toString();
    QVERIFY(notice.contains("70-skarn-config.rules"));
    QTemporaryDir home;
    int exitCode = -1;
    const QByteArray output =
        runUntilConnected(prefixPath(SKARN_BINDIR "/skarn-config"), home.path(),
                          home.filePath("data"), &exitCode, "Tray message:", true);
    QVERIFY2(output.contains("Tray message: Info - " + notice.toUtf8()), output.constData());
    QVERIFY(output.contains("Device DisConnect"));
    QVERIFY(!output.contains("Device Connect"));
    QVERIFY(!output.contains("Detect Device"));
    QCOMPARE(exitCode, 0);
}

QTEST_GUILESS_MAIN(tst_Install)
#include "tst_install.moc"
