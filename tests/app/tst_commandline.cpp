// The command line of the real executable, from a temporary portable folder
// with the virtual mouse: on its own without a display, and through a
// running copy.
#include "testdatafolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void usage_data();
    void usage();
    void subcommand_data();
    void subcommand();

private:
    struct Run
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };
    // No display at all: the command must not need one.
    QProcessEnvironment cliEnvironment(const QString &extra) const;
    Run cli(const QString &args, const QString &extra = QString()) const;
    bool startRunningCopy(const QString &extra);
    QByteArray record() const;

    std::unique_ptr<QTemporaryDir> m_install;
    std::unique_ptr<QProcess> m_running;
};

void tst_CommandLine::init()
{
    m_install = std::make_unique<QTemporaryDir>();
    const QString exe = m_install->filePath("skarn-config");
    QVERIFY(QFile::copy(SKARN_EXECUTABLE, exe));
    QFile::setPermissions(exe, QFile::permissions(exe) | QFileDevice::ExeOwner);
    TestDataFolder::copyTree(TestDataFolder::factoryModules(), m_install->filePath("modules"));
    // A profile file that differs from the factory one in its report rate
    // (125 Hz, sent as code 8).
    QVERIFY(
        QFile::copy(m_install->filePath("modules/setting/p1.bin"), m_install->filePath("slow.pf")));
    QSettings slow(m_install->filePath("slow.pf"), QSettings::IniFormat);
    slow.setValue("mouse/reportRate", 0);
}

void tst_CommandLine::cleanup()
{
    if (m_running) {
        m_running->terminate();
        QVERIFY(m_running->waitForFinished(10000));
        QCOMPARE(m_running->exitCode(), 0);
        m_running.reset();
    }
}

QProcessEnvironment tst_CommandLine::cliEnvironment(const QString &extra) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    env.insert("GSETTINGS_BACKEND", "memory");
    env.insert("SKARN_VIRTUAL_MOUSE", "553");
    env.insert("SKARN_VIRTUAL_MOUSE_RECORD", m_install->filePath("mouse.log"));
    if (!extra.isEmpty())
        env.insert(extra.section('=', 0, 0), extra.section('=', 1));
    return env;
}

tst_CommandLine::Run tst_CommandLine::cli(const QString &args, const QString &extra) const
{
    QProcess process;
    process.setProgram(m_install->filePath("skarn-config"));
    process.setArguments(args.split(' ', Qt::SkipEmptyParts));
    process.setWorkingDirectory(m_install->path());
    process.setProcessEnvironment(cliEnvironment(extra));
    process.start();
    Run run;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

bool tst_CommandLine::startRunningCopy(const QString &extra)
{
    m_running = std::make_unique<QProcess>();
    m_running->setProgram(m_install->filePath("skarn-config"));
    m_running->setArguments({"--hidden"});
    QProcessEnvironment env = cliEnvironment(extra);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    m_running->setProcessEnvironment(env);
    m_running->setProcessChannelMode(QProcess::MergedChannels);
    m_running->start();
    const QByteArray ready = extra.isEmpty() ? "Device Connect" : "Device DisConnect";
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    while (!output.contains(ready) && timer.elapsed() < 20000 &&
           m_running->state() != QProcess::NotRunning) {
        m_running->waitForReadyRead(200);
        output += m_running->readAll();
    }
    return output.contains(ready);
}

QByteArray tst_CommandLine::record() const
{
    QFile file(m_install->filePath("mouse.log"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void tst_CommandLine::usage_data()
{
    QTest::addColumn<QString>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");

    QTest::newRow("help") << "--help" << 0 << QByteArray("dpi-stage N") << QByteArray();
    QTest::newRow("help wins over a command")
        << "status -h" << 0 << QByteArray("Exit status:") << QByteArray();
    QTest::newRow("version") << "--version" << 0 << QByteArray("skarn-config " SKARN_VERSION "\n")
                             << QByteArray();
    QTest::newRow("Qt's own options pass")
        << "-session 1a2b --version" << 0 << QByteArray("skarn-config ") << QByteArray();
    QTest::newRow("unknown option")
        << "--frobnicate" << 2 << QByteArray() << QByteArray("Unknown option 'frobnicate'");
    QTest::newRow("unknown command")
        << "frobnicate" << 2 << QByteArray() << QByteArray("unknown command 'frobnicate'");
    QTest::newRow("missing argument")
        << "profile" << 2 << QByteArray() << QByteArray("wrong number of arguments for 'profile'");
    QTest::newRow("json elsewhere") << "profiles --json" << 2 << QByteArray()
                                    << QByteArray("--json goes with the status command");
}

// Answered before anything else starts: no display, no data folder, no
// mouse opened.
void tst_CommandLine::usage()
{
    QFETCH(QString, args);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    const Run run = cli(args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.out.contains(out), run.out.constData());
    QVERIFY2(run.err.contains(err), run.err.constData());
    QVERIFY(record().isEmpty());
}

void tst_CommandLine::subcommand_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    // A report the mouse must have received (plain bytes, after the
    // setup), or one it must not have received when prefixed with "!".
    QTest::addColumn<QByteArray>("sent");
    // A command run afterwards and a text its output must contain.
    QTest::addColumn<QString>("after");
    QTest::addColumn<QByteArray>("afterOut");

    const QByteArray reportRate = "feature 00 01 ";
    for (const bool running : {false, true}) {
        const auto row = [running](const char *name) -> QTestData & {
            return QTest::addRow("%s %s", running ? "running" : "alone", name) << running;
        };
        row("status") << QString() << QString() << "status" << 0
                      << QByteArray("mouse: row 0, 1209:0001, family 553\nconnection: connected\n"
                                    "access: granted\nprofile: 1 ")
                      << QByteArray() << QByteArray() << QString() << QByteArray();
        row("status json") << QString() << QString() << "status --json" << 0
                           << QByteArray("{\"access\":\"granted\",\"connected\":true,\"dpi\":")
                           << QByteArray() << QByteArray() << QString() << QByteArray();
        row("status without a mouse")
            << "SKARN_VIRTUAL_MOUSE=" << QString() << "status" << 1
            << QByteArray("mouse: none\nconnection: not connected\naccess: granted\n")
            << QByteArray("no mouse connected") << QByteArray() << QString() << QByteArray();
        row("status access denied")
            << "SKARN_VIRTUAL_MOUSE_ACCESS=denied" << QString() << "status" << 1
            << QByteArray("connection: not connected\naccess: denied\n")
            << QByteArray("access to the mouse was denied") << QByteArray() << QString()
            << QByteArray();
        row("report rate") << QString() << QString() << "report-rate 500" << 0 << QByteArray()
                           << QByteArray() << QByteArray("feature 00 01 02 00 00 00 00 00 fc\n")
                           << "status" << QByteArray("report rate: 500 Hz");
        row("report rate refused")
            << QString() << QString() << "report-rate 300" << 1 << QByteArray()
            << QByteArray("125, 250, 500 or 1000") << "!" + reportRate << "status"
            << QByteArray("report rate: 1000 Hz");
        row("report rate without access")
            << "SKARN_VIRTUAL_MOUSE_ACCESS=denied" << QString() << "report-rate 500" << 1
            << QByteArray() << QByteArray("access to the mouse was denied") << "!" + reportRate
            << "status" << QByteArray("report rate: 1000 Hz");
        row("dpi stage") << QString() << QString() << "dpi-stage 3" << 0 << QByteArray()
                         << QByteArray()
                         << QByteArray("feature 00 0b 03 00 00 00 00 00 f1\n")
                         // Each copy started alone has a fresh virtual mouse.
                         << (running ? "status" : "") << QByteArray("dpi stage: 3 (1500 DPI)");
        row("dpi stage beyond the count")
            << QString() << QString() << "dpi-stage 5" << 1 << QByteArray()
            << QByteArray("from 1 to 4") << QByteArray("!feature 00 0b") << QString()
            << QByteArray();
        row("profiles") << QString() << "import-profile slow.pf"
                        << "profiles" << 0 << QByteArray("* 1 Standard\n  2 profile_0\n")
                        << QByteArray() << QByteArray() << QString() << QByteArray();
        row("profile by name") << QString() << "import-profile slow.pf"
                               << "profile profile_0" << 0 << QByteArray() << QByteArray()
                               << QByteArray("feature 00 01 08 00 00 00 00 00 f6\n") << "profiles"
                               << QByteArray("  1 Standard\n* 2 profile_0\n");
        row("profile by number") << QString() << "import-profile slow.pf"
                                 << "profile 2" << 0 << QByteArray() << QByteArray()
                                 << QByteArray("feature 00 01 08 00 00 00 00 00 f6\n") << "status"
                                 << QByteArray("profile: 2 profile_0");
        row("profile unknown") << QString() << QString() << "profile 2" << 1 << QByteArray()
                               << QByteArray("no profile '2'") << "!" + reportRate << QString()
                               << QByteArray();
        row("import into the active profile")
            << QString() << QString() << "import-profile slow.pf 1" << 0 << QByteArray()
            << QByteArray() << QByteArray("feature 00 01 08 00 00 00 00 00 f6\n") << "status"
            << QByteArray("report rate: 125 Hz");
        row("import of a missing file")
            << QString() << QString() << "import-profile missing.pf 1" << 1 << QByteArray()
            << QByteArray("could not read") << "!" + reportRate << "profiles"
            << QByteArray("* 1 Standard\n");
        row("export") << QString() << "import-profile slow.pf"
                      << "export-profile 2 out.pf" << 0 << QByteArray() << QByteArray()
                      << QByteArray() << "import-profile out.pf 1" << QByteArray();
    }
    // The log lines, routine ones included, only when asked for: on stderr.
    QTest::newRow("alone verbose")
        << false << QString() << QString() << "--verbose status" << 0
        << QByteArray("connection: connected") << QByteArray("Data folder: ") << QByteArray()
        << QString() << QByteArray();
}

void tst_CommandLine::subcommand()
{
    QFETCH(bool, running);
    QFETCH(QString, extra);
    QFETCH(QString, setup);
    QFETCH(QString, args);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(QByteArray, sent);
    QFETCH(QString, after);
    QFETCH(QByteArray, afterOut);

    if (running)
        QVERIFY(startRunningCopy(extra));
    if (!setup.isEmpty()) {
        const Run prepared = cli(setup, extra);
        QVERIFY2(prepared.exitCode == 0, prepared.err.constData());
    }
    const qsizetype before = record().size();

    const Run run = cli(args, extra);
    QVERIFY2(run.exitCode == exitCode, run.err.constData());
    QVERIFY2(run.out.contains(out), run.out.constData());
    QVERIFY2(run.err.contains(err), run.err.constData());
    if (exitCode != 0)
        QCOMPARE(run.err.count('\n'), 1);
    const QByteArray received = record().mid(before);
    if (sent.startsWith('!'))
        QVERIFY2(!received.contains(sent.mid(1)), received.constData());
    else
        QVERIFY2(received.contains(sent), received.constData());

    if (running) {
        // The running copy did the work: the mouse was opened once.
        QCOMPARE(record().count(" feature 00 00 "), extra.isEmpty() ? 1 : 0);
    }
    if (!after.isEmpty()) {
        const Run check = cli(after, extra);
        QVERIFY2(check.out.contains(afterOut), check.out.constData());
    }
    if (args.startsWith("export-profile")) {
        QFile exported(m_install->filePath("out.pf"));
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QFile slow(m_install->filePath("modules/setting/p2.bin"));
        QVERIFY(slow.open(QIODevice::ReadOnly));
        QCOMPARE(exported.readAll(), slow.readAll());
    }
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
