// The build installed into a temporary prefix, run as a user would with a home of its own.
#include "program.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

namespace {
QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable";
}

QMap<QString, QByteArray> contents(const QString &dir)
{
    QMap<QString, QByteArray> result;
    for (QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        result[QDir(dir).relativeFilePath(path)] = read(path);
    }
    return result;
}
} // namespace

class tst_Install : public QObject
{
    Q_OBJECT

    QString factoryDir() const { return m_prefix.filePath(SKARN_DATADIR "/skarn-config"); }
    QString exe() const { return m_prefix.filePath(SKARN_BINDIR "/skarn-config"); }
    QTemporaryDir m_prefix;

private slots:
    void initTestCase()
    {
        QCOMPARE(QProcess::execute(SKARN_CMAKE,
                                   {"--install", SKARN_BUILD_DIR, "--prefix", m_prefix.path()}),
                 0);
        // The program must never need to write the packager's files: a hard fault from here on.
        QCOMPARE(QProcess::execute("chmod", {"-R", "a-w", factoryDir()}), 0);
    }
    void cleanupTestCase() { QProcess::execute("chmod", {"-R", "u+w", factoryDir()}); }
    void installsTheLayout()
    {
        const QString data = m_prefix.filePath(SKARN_DATADIR "/");
        // The window's part, where the program looks for it.
        QVERIFY(QFileInfo(QFileInfo(exe()).absolutePath() + "/" SKARN_GUI_RELATIVE
                                                            "/libskarn-config-gui.so")
                    .isFile());
        for (const char *file : {"metainfo/org.example.SkarnConfig.metainfo.xml",
                                 "icons/hicolor/scalable/apps/skarn-config.svg",
                                 "bash-completion/completions/skarn-config"})
            QVERIFY2(QFileInfo(data + file).isFile(), file);
        const QByteArray entry = read(data + "applications/org.example.SkarnConfig.desktop");
        QVERIFY(entry.contains("\nExec=skarn-config\n") && entry.contains("\nIcon=skarn-config\n"));
        QCOMPARE(
            read(QDir(m_prefix.path()).filePath(SKARN_UDEV_RULES_DIR "/70-skarn-config.rules")),
            read(SKARN_UDEV_RULES));
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QImage image(data +
                               QString("icons/hicolor/%1x%1/apps/skarn-config.png").arg(size));
            QVERIFY2(image.size() == QSize(size, size) &&
                         qAlpha(image.pixel(size / 2, size / 2)) == 255,
                     qPrintable(QString::number(size)));
        }
        // Drawn icons; the factory data is the delivered data; denied access tells the fix.
        const QMap<QString, QByteArray> installed = contents(factoryDir() + "/modules");
        QMap<QString, QByteArray> delivered = contents(TestDataFolder::factoryModules());
        delivered.removeIf([&](const auto &file) {
            return !installed.contains(file.key()) &&
                   !file.key().contains(QRegularExpression("^(setting|gun|i18n)/"));
        });
        QCOMPARE(installed, delivered);
        QVERIFY(installed.contains("img/logo.ico") &&
                installed.value("i18n/English.ini").contains("70-skarn-config.rules"));
        // The manual: the README for users as HTML, no developers' section, no Markdown left.
        const QByteArray manual = read(factoryDir() + "/manual.html");
        for (const char *part : {"<h2>Command line</h2>", "<h2>Troubleshooting</h2>",
                                 "<strong>No tray icon.</strong>", "<pre>Usage: skarn-config"})
            QVERIFY2(manual.contains(part), part);
        for (const char *part : {"<h2>Development", "<h2>Layout", "**", "`", "]("})
            QVERIFY2(!manual.contains(part), part);
    }

    // The first start seeds the user folder under XDG_DATA_HOME from the factory files (those
    // tst_datafolder compares): the window's start finds the mouse there.
    void userFolderIsSeeded()
    {
        Program program(exe(), QString());
        program.env.insert("HOME", program.dir.path());
        program.env.insert("XDG_DATA_HOME", program.filePath("data"));
        const auto process = program.start({"--verbose"});
        QByteArray output;
        QVERIFY2(Program::waitForOutput(*process, output, "Device Connect"), output.constData());
        QCOMPARE(Program::stop(*process), 0);
        QVERIFY2(output.contains("Data folder: " + program.filePath("data/skarn-config").toUtf8()),
                 output.constData());
    }

    // On a temporary copy of the data, a command that would store a change refuses before
    // anything goes to the mouse; a DPI stage lives in the mouse.
    void unmakeableFolderRefusesChanges()
    {
        Program program(exe(), QString());
        program.env.insert("HOME", program.dir.path());
        program.env.insert("XDG_DATA_HOME", "/dev/null/data");
        for (const char *args : {"report-rate 500", "profile 1", "import-profile a.pf"}) {
            const auto [code, out, err] = program.run(QString(args).split(' '));
            QVERIFY2(code == 1 && err.contains("/dev/null/data/skarn-config' cannot be made"), err);
        }
        QCOMPARE(std::get<0>(program.run({"dpi-stage", "2"})), 0);
        const QString sent = program.record().join('\n');
        QVERIFY2(!sent.contains("feature 00 01 ") && sent.contains("feature 00 0b 02 "),
                 qPrintable(sent));
    }
};

QTEST_GUILESS_MAIN(tst_Install)
#include "tst_install.moc"
