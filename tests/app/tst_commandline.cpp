// The command line of the real executable, from a temporary portable folder with
// the virtual mouse: on its own without a display, and through a running copy.
#include "commandline.h"
#include "filesizelimit.h"
#include "program.h"

#include <QDataStream>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <sys/stat.h>

namespace {
// Texts the output and errors contain; a report the mouse received after the setup (with a
// leading "!": did not); a command run afterwards and a text its output contains; a command run
// before; one more variable ("NAME=value"); the mouse's fault ("silent"); a global setting
// ("group/key=value"); no room to write files; a data file made garbage before the command.
struct Case
{
    QString args = {};
    int code = 0;
    QByteArray out = {}, err = {}, sent = {}, after = {}, afterOut = {};
    QString setup = {}, env = {};
    QByteArray fault = {};
    QString global = {};
    bool fullDisk = false;
    QString damage = {};
};
} // namespace
Q_DECLARE_METATYPE(Case)
Q_DECLARE_METATYPE(CommandLine::Decoded)

class tst_CommandLine : public QObject
{
    Q_OBJECT

    std::unique_ptr<Program> m_program;
    std::unique_ptr<QProcess> m_running;

private slots:
    void init();
    void cleanup();
    void command_data();
    void command();
    void requestRecord_data();
    void requestRecord();
};

void tst_CommandLine::init()
{
    m_program = std::make_unique<Program>();
    // No display at all: the command must not need one.
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        m_program->env.remove(name);
    // The active profile lacks its DPI values (hand-edited): the status gives
    // the stage's value as the window shows it, its default. It offers all eight stages.
    QSettings active(m_program->filePath("modules/setting/p1.bin"), QSettings::IniFormat);
    active.remove("mouse/dpiValueArray");
    active.setValue("mouse/dpiCount", 8);
    active.sync();
    // Copies of it with one setting changed or removed: 125 Hz (sent as code 8), no report
    // rate, fewer than no stages in use (hand-edited: one is), all eight in use.
    const auto variant = [this](const char *name, const char *key, const QVariant &value) {
        QVERIFY(
            QFile::copy(m_program->filePath("modules/setting/p1.bin"), m_program->filePath(name)));
        QSettings settings(m_program->filePath(name), QSettings::IniFormat);
        value.isValid() ? settings.setValue(key, value) : settings.remove(key);
    };
    variant("slow.pf", "mouse/reportRate", 0);
    variant("norate.pf", "mouse/reportRate", QVariant());
    variant("fewstages.pf", "mouse/currentDpiCount", -5);
    variant("allstages.pf", "mouse/currentDpiCount", 8);
    QFile picture(m_program->filePath("picture.pf"));
    QVERIFY(picture.open(QIODevice::WriteOnly) && picture.write("\x89PNG\r\n\x1a\n[") == 9);
    // A path that names no file: read, it would never end; replaced, it would be gone.
    QCOMPARE(mkfifo(qPrintable(m_program->filePath("pipe.pf")), 0600), 0);
}

void tst_CommandLine::cleanup()
{
    QVERIFY(QFileInfo(m_program->filePath("pipe.pf")).isReadable() &&
            !QFileInfo(m_program->filePath("pipe.pf")).isFile());
    if (const auto running = std::move(m_running))
        QCOMPARE(Program::stop(*running), 0);
    // The family served for the virtual mouse is not written anywhere.
    QVERIFY(m_program->read("modules/setting/apConfig.bin").contains("icType=553"));
}

void tst_CommandLine::command_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<Case>("c");
    // Run alone, through a running copy, or both ("ar").
    const auto row = [](const QString &runs, const char *name, const Case &c) {
        for (const char *where : {"alone", "running"})
            if (runs.contains(where[0]))
                QTest::addRow("%s %s", where, name) << (where[0] == 'r') << c;
    };
    // Answered before anything starts: no display, no data folder, no mouse opened.
    const QByteArray no = "!feature";
    row("a", "help wins over a command", {"status -h", 0, "Exit status:", "", no});
    row("a", "version", {"--version", 0, "skarn-config " SKARN_VERSION "\n", "", no});
    row("a", "Qt options pass", {"-session 1a2b --version", 0, "skarn-config ", "", no});
    row("a", "unknown option", {"--frobnicate", 2, "", "Unknown option 'frobnicate'", no});
    row("a", "unknown command", {"frobnicate", 2, "", "unknown command 'frobnicate'", no});
    row("a", "no argument", {"profile", 2, "", "wrong number of arguments for 'profile'", no});
    row("a", "json alone", {"profiles --json", 2, "", "--json goes with the status command", no});
    // The log lines, routine ones included, only when asked for: on stderr.
    row("a", "verbose, family 560",
        {"--verbose status", 0, "family 560\nconnection: connected", "Virtual mouse of family 560",
         "!feature 00 01 ", "", "", "", "SKARN_VIRTUAL_MOUSE=560"}); // event reports left off

    const QByteArray noRate = "!feature 00 01 ";
    const QString slow = "import-profile slow.pf";
    const QByteArray slowRate = "feature 00 01 08 00 00 00 00 00 f6\n";
    row("ar", "status",
        {"status", 0,
         "mouse: row 0, 1209:0001, family 553\nconnection: connected\naccess: granted\n"
         "profile: 1 "});
    row("ar", "json",
        {"status --json", 0,
         "{\"access\":\"granted\",\"answeredFrom\":\"mouse\",\"connected\":true,\"dpi\":"});
    row("r", "status, no mouse",
        {"status", 1, "mouse: none\nconnection: not connected\naccess: granted\n",
         "no mouse connected", "", "", "", "", "SKARN_VIRTUAL_MOUSE="});
    row("r", "status, denied",
        {"status", 1, "connection: not connected\naccess: denied\n",
         "access to the mouse was denied", "", "", "", "", "SKARN_VIRTUAL_MOUSE_ACCESS=denied"});
    row("ar", "report rate",
        {"report-rate 500", 0, "", "", "feature 00 01 02 00 00 00 00 00 fc\n", "status",
         "report rate: 500 Hz"});
    row("a", "report rate, the first row",
        {"report-rate 125", 0, "", "", slowRate, "status", "report rate: 125 Hz"});
    row("r", "rate refused",
        {"report-rate 300", 1, "", "125, 250, 500 or 1000", noRate, "status",
         "report rate: 1000 Hz"});
    row("r", "dpi stage, the last of eight",
        {"dpi-stage 8", 0, "", "", "feature 00 0b 08 00 00 00 00 00 ec\n", "status",
         "dpi stage: 8 (6000 DPI)", "import-profile allstages.pf 1"});
    row("r", "dpi stage 5", {"dpi-stage 5", 1, "", "from 1 to 4", "!feature 00 0b"});
    row("a", "dpi stage -1", {"dpi-stage -1", 1, "", "from 1 to 4", "!feature 00 0b"});
    row("a", "dpi stage, fewer than no stages stored",
        {"dpi-stage 2", 1, "", "from 1 to 1\n", "!feature 00 0b", "", "",
         "import-profile fewstages.pf 1"});
    // Repeated on one line, and not whole.
    row("a", "name with a newline", {"profile a\nb", 1, "", "no profile 'a?b'\n"});
    row("a", "long name",
        {"profile " + QString(100000, 'x'), 1, "", QByteArray(80, 'x') + "...'\n"});
    row("r", "import as new, profiles",
        {slow, 0, "2 profile_0\n", "", "", "profiles", "* 1 Standard\n  2 profile_0\n"});
    row("ar", "profile by number",
        {"profile 2", 0, "", "", slowRate, "status", "profile: 2 profile_0", slow});
    // A switch an earlier run's mouse refused is owed, which this one's full send settles.
    row("a", "profile, earlier switch refused",
        {"profile 2", 0, "", "", slowRate, "status", "profile: 2 profile_0", slow, "", "",
         "mouse/profileUnsent=true"});
    row("r", "profile unknown", {"profile 2", 1, "", "no profile '2'", noRate});
    row("r", "import",
        {"import-profile slow.pf 1", 0, "", "", slowRate, "status", "report rate: 125 Hz"});
    row("r", "import, no profile",
        {"import-profile picture.pf 1", 1, "", "could not be imported", noRate, "profiles",
         "* 1 Standard\n"});
    row("ar", "import from a pipe",
        {"import-profile pipe.pf 1", 1, "", "could not read", noRate, "profiles",
         "* 1 Standard\n"});
    // Shown as the window shows it: the last rate.
    row("ar", "import, no rate",
        {"import-profile norate.pf 1", 0, "", "", "", "status", "report rate: 1000 Hz"});
    row("ar", "import into another profile",
        {"import-profile slow.pf 2", 0, "", "", noRate, "status", "report rate: 1000 Hz", slow});
    // The file named, as it is named.
    row("a", "export, no suffix", {"export-profile 1 out", 0});
    row("ar", "export onto a pipe", {"export-profile 1 pipe.pf", 1, "", "could not be written"});
    row("a", "export onto the program's files",
        {"export-profile 1 modules/setting/../setting/apConfig.bin", 1, "", "program's own files"});
    // A running copy whose mouse has stopped answering: a sending command fails with its reason.
    const QByteArray notWritten = "The settings were not written to the mouse. Check that it is "
                                  "connected and try again.";
    row("r", "status, silent mouse",
        {"status", 1,
         "connection: connected\naccess: granted\nprofile: 1 Standard\ndpi stage: unknown\n",
         "the mouse did not answer", "", "", "", "", "", "silent"});
    row("r", "dpi stage, silent mouse",
        {"dpi-stage 3", 1, "", "the mouse did not answer", "", "", "", "", "", "silent"});
    row("r", "report rate, silent mouse",
        {"report-rate 500", 1, "", notWritten, "", "", "", "", "", "silent"});
    // Run alone, a change the data folder did not take ends with the process.
    row("a", "report rate, full disk",
        {"report-rate 500", 1, "", "the data folder could not be written; the change is not kept",
         "", "", "", "", "", "", "", true});
    row("a", "import, full disk",
        {"import-profile slow.pf 1", 1, "", "could not be written; the profile was not imported",
         noRate, "profiles", "* 1 Standard\n", "", "", "", "", true});
    row("a", "import as new, full disk",
        {"import-profile slow.pf", 1, "", "could not be written; the profile was not imported",
         noRate, "profiles", "* 1 Standard\n", "", "", "", "", true});
    // A damaged file leaves the command done, on the factory values: said.
    row("a", "damaged profile set aside",
        {"profiles", 0, "* 1 Standard\n", "warning: Damaged settings files were set aside", "", "",
         "", "", "", "", "", false, "modules/setting/p1.bin"});
    row("r", "import, silent mouse",
        {"import-profile slow.pf 1", 1, "", notWritten, "", "", "", "", "", "silent"});
}

void tst_CommandLine::command()
{
    QFETCH(bool, running);
    QFETCH(Case, c);
    if (!c.env.isEmpty())
        m_program->env.insert(c.env.section('=', 0, 0), c.env.section('=', 1));
    if (!c.global.isEmpty())
        QSettings(m_program->filePath("modules/setting/apConfig.bin"), QSettings::IniFormat)
            .setValue(c.global.section('=', 0, 0), c.global.section('=', 1));
    if (running) {
        m_running = m_program->start({"--hidden", "-platform", "offscreen"});
        QByteArray output;
        QVERIFY2(Program::waitForOutput(*m_running, output,
                                        c.env.isEmpty() ? "Device Connect" : "Device DisConnect"),
                 output.constData());
    }
    const auto run = [this](const QString &args) {
        return m_program->run(args.split(' ', Qt::SkipEmptyParts));
    };
    QVERIFY(c.setup.isEmpty() || std::get<0>(run(c.setup)) == 0);
    QVERIFY(c.fault.isEmpty() || m_program->setMouseFault(c.fault));
    if (!c.damage.isEmpty()) {
        QFile garbage(m_program->filePath(c.damage));
        QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write("\x89PNG\r\n=") > 0);
    }
    const qsizetype before = m_program->record().size();
    if (c.fullDisk)
        limitFileSize(1); // the program inherits it
    const auto [code, out, err] = run(c.args);
    limitFileSize(RLIM_INFINITY);
    QVERIFY2(code == c.code, err.constData());
    QVERIFY2(out.contains(c.out), out.constData());
    QVERIFY2(err.contains(c.err), err.constData());
    QCOMPARE(err.contains("Data folder: "), c.args.startsWith("--verbose"));
    if (c.code == 1)
        QCOMPARE(err.count('\n'), 1);
    const QByteArray received = m_program->record(before).join('\n').toLatin1() + '\n';
    const bool absent = c.sent.startsWith('!');
    QVERIFY2(received.contains(c.sent.mid(absent)) != absent, received.constData());
    // The running copy did the work: the mouse was opened once.
    if (running)
        QCOMPARE(m_program->record().filter(QRegularExpression("^feature 00 00 ")).size(),
                 c.env.isEmpty() ? 1 : 0);
    const QByteArray afterOut = c.after.isEmpty() ? QByteArray() : std::get<1>(run(c.after));
    QVERIFY2(afterOut.contains(c.afterOut), afterOut.constData());
    if (c.args.startsWith("export-profile") && c.code == 0)
        QCOMPARE(m_program->read(c.args.section(' ', 2)),
                 m_program->read("modules/setting/p" + c.args.section(' ', 1, 1) + ".bin"));
}

// A newer client's record is told apart (its client restarts the running copy), not refused.
void tst_CommandLine::requestRecord_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<CommandLine::Decoded>("decoded");
    const auto record = [](quint32 version, const QString &subcommand, const QStringList &args,
                           const QByteArray &after = {}) {
        QByteArray bytes;
        QDataStream(&bytes, QIODevice::WriteOnly) << version << subcommand << args << true;
        return bytes + after;
    };
    const quint32 current = CommandLine::protocolVersion;
    using D = CommandLine::Decoded;
    QTest::addRow("this copy's") << record(current, "profile", {"2"}) << D::Ok;
    QTest::addRow("the older copy's") << record(1, "status", {}) << D::Ok;
    QTest::addRow("newer, with fields unknown here")
        << record(current + 1, "status", {}, "\x01\x02") << D::Newer;
    QTest::addRow("no version") << record(0, "status", {}) << D::Malformed;
    QTest::addRow("cut short") << record(current, "status", {}).chopped(1) << D::Malformed;
    QTest::addRow("bytes after it") << record(current, "status", {}, "x") << D::Malformed;
    QTest::addRow("too many arguments") << record(current, "profile", {"1", "2"}) << D::Malformed;
    QTest::addRow("unknown command") << record(current, "reboot", {}) << D::Malformed;
}

void tst_CommandLine::requestRecord()
{
    QFETCH(QByteArray, record);
    CommandLine::Decoded got = CommandLine::Decoded::Ok;
    CommandLine::decodeRequest(record, &got);
    QTEST(got, "decoded");
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
