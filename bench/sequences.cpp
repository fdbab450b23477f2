// Drives a skarn-config executable like a user (xdotool under its own Xvfb, and the command
// line through the running copy) on its virtual mouse, one step after the other, and writes
// what the mouse received in each step: the reports as plain bytes in order, and the pause
// before each. Two executables given the same steps must write the same reports; the pauses
// may differ by the scheduler's few milliseconds.
//
//   skarn-bench-sequences EXE MODULES FAMILY OUT [SCREENSHOTS]
#include "xserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

namespace {
// Points in the 1024 x 640 window from the main scene's layout; dialogs are centred.
constexpr QPoint saveButton(968, 620), resetButton(888, 620), resetOk(450, 348),
    restoreKeys(240, 106), dpiRestore(976, 70), lightRestore(976, 336), rateList(190, 470),
    macroEditorRow(140, 396), gunEditorRow(140, 425), editorClose(814, 111), macroRow1(240, 176),
    macroTimes(500, 501), gunRow2(300, 251);

void copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QFileInfo &entry :
         QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir())
            copyTree(entry.filePath(), target);
        else
            QFile::copy(entry.filePath(), target);
    }
}

class Run
{
public:
    Run(const QString &exe, const QString &modules, const QString &family, const QString &shots)
        : m_shots(shots)
    {
        m_exe = m_dir.filePath("skarn-config");
        QFile::copy(exe, m_exe);
        QFile::setPermissions(m_exe, QFile::permissions(m_exe) | QFile::ExeOwner);
        // The window's part, where the build puts it beside the program.
        QFile::copy(QFileInfo(exe).absolutePath() + "/libskarn-config-gui.so",
                    m_dir.filePath("libskarn-config-gui.so"));
        copyTree(modules, m_dir.filePath("modules"));
        // A second profile at 125 Hz, a macro on button 4 and a gun switch on button 5.
        QSettings(m_dir.filePath("modules/setting/name.bin"), QSettings::IniFormat)
            .setValue("profile/profileName", QStringList{"Standard0", "Gaming1"});
        QSettings(m_dir.filePath("modules/setting/name.bin"), QSettings::IniFormat)
            .setValue("macro/macroName", QStringList{"M1", "loaderbraxel"});
        QDir().mkpath(m_dir.filePath("modules/macro"));
        {
            QSettings macro(m_dir.filePath("modules/macro/M1.bin"), QSettings::IniFormat);
            macro.setValue("config/index", 0);
            macro.setValue("config/total", 3);
            macro.setValue("config/repeat", 2);
            macro.setValue("config/did", -1);
            macro.setValue("macro/0", "1,A");
            macro.setValue("macro/1", "0,30");
            macro.setValue("macro/2", "2,A");
        }
        {
            QSettings p1(m_dir.filePath("modules/setting/p1.bin"), QSettings::IniFormat);
            p1.setValue("mouseKeyMatrix/3", QVariantList{4, 0, 3, 0});
            p1.setValue("mouseMacroKey/3", "M1");
            p1.setValue("mouseKeyMatrix/4", QVariantList{8, 0, 2, 0});
        }
        QSettings(m_dir.filePath("modules/setting/p2.bin"), QSettings::IniFormat)
            .setValue("mouse/reportRate", 0);
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("SKARN_VIRTUAL_MOUSE", family);
        m_env.insert("SKARN_VIRTUAL_MOUSE_RECORD", m_dir.filePath("mouse.log"));
        m_env.insert("HOME", m_dir.path());
        m_env.insert("XDG_RUNTIME_DIR", m_dir.path());
        m_env.insert("GSETTINGS_BACKEND", "memory");
        m_env.remove("DBUS_SESSION_BUS_ADDRESS");
    }

    bool start()
    {
        if (!m_x.start("1280x800x24").isEmpty())
            return false;
        m_env.insert("DISPLAY", m_x.display);
        m_env.insert("QT_QPA_PLATFORM", "xcb");
        m_program.setProcessEnvironment(m_env);
        m_program.setProcessChannelMode(QProcess::MergedChannels);
        m_program.start(m_exe, {});
        const auto isMain = [](const QRect &w) {
            return w.size() == QSize(1024, 640);
        };
        if (!waitFor(
                [&] {
                    return (m_window = m_x.window({"--class", "^skarn-config$"}, isMain)).isValid();
                },
                20000))
            return false;
        step("start-up");
        return true;
    }

    void stop()
    {
        m_program.terminate();
        if (!m_program.waitForFinished(30000))
            m_program.kill();
        m_program.waitForFinished(5000);
    }

    void click(QPoint at)
    {
        m_x.click(m_window.topLeft() + at);
        QTest::qWait(400);
    }

    // Types `text` into the field at `at` in place of what it held, and ends with Return.
    void type(QPoint at, const QString &text)
    {
        click(at);
        m_x.xdotool({"key", "ctrl+a", "BackSpace"});
        m_x.xdotool({"type", "--delay", "50", text});
        m_x.xdotool({"key", "Return"});
        QTest::qWait(400);
    }

    // The command through the running copy.
    void command(const QStringList &args)
    {
        QProcess cli;
        cli.setProcessEnvironment(m_env);
        cli.setProcessChannelMode(QProcess::MergedChannels);
        cli.start(m_exe, args);
        cli.waitForFinished(120000);
        m_log += QStringLiteral("# %1 -> %2 %3")
                     .arg(args.join(' '))
                     .arg(cli.exitCode())
                     .arg(QString::fromLocal8Bit(cli.readAll()).simplified()) +
                 '\n';
    }

    // Waits until the mouse has heard nothing for two seconds, then files what came since
    // the last step under `name`.
    void step(const QString &name)
    {
        qsizetype seen = -1;
        for (int quiet = 0; quiet < 2000; quiet = seen == lines().size() ? quiet + 250 : 0) {
            seen = lines().size();
            QTest::qWait(250);
        }
        const QList<QByteArray> all = lines();
        m_log += "== " + name + '\n';
        qint64 last = m_lastMs;
        for (qsizetype i = m_seen; i < all.size(); ++i) {
            const QString line = QString::fromLatin1(all.at(i));
            const qint64 ms = line.section(' ', 0, 0).toLongLong();
            m_log += QStringLiteral("%1 %2\n")
                         .arg(m_lastMs < 0 ? 0 : ms - last, 5)
                         .arg(line.section(' ', 1));
            last = ms;
        }
        if (all.size() > m_seen)
            m_lastMs = last;
        m_seen = all.size();
        if (!m_shots.isEmpty())
            m_x.grab().copy(m_window).save(m_shots + "/" + name + ".png");
    }

    QString log() const { return m_log; }

private:
    QList<QByteArray> lines() const
    {
        QFile file(m_dir.filePath("mouse.log"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> list = file.readAll().split('\n');
        list.removeAll(QByteArray());
        return list;
    }

    QTemporaryDir m_dir;
    QString m_exe;
    QString m_shots;
    QProcessEnvironment m_env;
    XServer m_x;
    QProcess m_program;
    QRect m_window;
    QString m_log;
    qsizetype m_seen = 0;
    qint64 m_lastMs = -1;
};
} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: %s EXE MODULES FAMILY OUT [SCREENSHOTS]\n", argv[0]);
        return 2;
    }
    Run run(args.at(1), args.at(2), args.at(3), args.value(5));
    if (!run.start()) {
        std::fprintf(stderr, "the program did not show its window\n");
        return 1;
    }
    // An edited macro goes to the slot its button plays; a gun preset chosen goes out as the
    // editor closes, with the key table that switches presets.
    run.click(macroEditorRow);
    run.click(macroRow1);
    run.type(macroTimes, "3");
    run.step("macro edit");
    run.click(editorClose);
    run.click(gunEditorRow);
    run.click(gunRow2);
    run.click(editorClose);
    run.step("gun switch");
    run.click(rateList);
    run.click(rateList + QPoint(0, 24 + 2 * 24)); // 500 Hz
    run.step("report rate");
    // Each panel's Save: the DPI stages, the lighting (the key table comes last: its restore
    // drops the macro and the gun switch).
    for (const auto &[name, mark] :
         {std::pair{"save dpi", dpiRestore}, std::pair{"save light", lightRestore}}) {
        run.click(mark);
        run.click(saveButton);
        run.step(name);
    }
    run.command({"profile", "2"});
    run.step("profile switch");
    run.command({"profile", "1"});
    run.step("profile switch back");
    run.command({"dpi-stage", "2"});
    run.step("dpi stage");
    run.command({"status"});
    run.step("status");
    run.command({"export-profile", "1", "exported.pf"});
    run.command({"import-profile", "exported.pf", "1"});
    run.step("import into the active profile");
    run.click(restoreKeys);
    run.click(saveButton);
    run.step("save keys");
    run.click(resetButton);
    run.click(resetOk);
    run.step("factory reset");
    run.stop();
    QFile out(args.at(4));
    if (!out.open(QIODevice::WriteOnly))
        return 1;
    out.write(run.log().toUtf8());
    return 0;
}
