// End to end: one session of the real skarn-config from a portable folder,
// under its own Xvfb with trayer as the tray host, on the virtual mouse of
// family 553, driven with xdotool at the positions the main scene's layout
// gives its controls. The slots run in order.
#include "program.h"
#include "xserver.h"

#include <QDir>
#include <QImage>
#include <QSettings>
#include <QTest>
#include <algorithm>
#include <functional>

namespace {
// Points in the 1024 x 640 window, from the main scene's layout; the dialogs
// are centred (system settings 416 x 312, button assignment 520 x 560, the
// editors 640 x 448, profiles 300 x 280).
constexpr QPoint closeButton(1002, 26), helpButton(930, 26), helpMenu(824, 42), keyRow3(140, 188),
    macroEditorRow(140, 396), gunEditorRow(140, 425), systemSettingButton(140, 514),
    configButton(808, 620), resetButton(888, 620), resetCancel(574, 348), settingsClose(702, 179),
    assignClose(754, 55), editorClose(814, 111), profilesClose(644, 195), profileRow1(438, 240),
    exportEntry(489, 277), importButton(568, 432), centre(512, 320);

// A file's bytes once it is there (empty after five seconds without).
QByteArray contents(const QString &path)
{
    QFile file(path);
    waitFor([&] { return file.open(QIODevice::ReadOnly); }, 5000);
    return file.readAll();
}

const auto isMainWindow = [](const QRect &w) {
    return w.size() == QSize(1024, 640);
};
// The docked tray icon: a small window of the program in the corner.
const auto isTrayIcon = [](const QRect &w) {
    return w.width() <= 32 && w.y() < 24;
};
} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QDir(SKARN_E2E_ARTEFACTS).removeRecursively();
        QDir().mkpath(SKARN_E2E_ARTEFACTS);
        const QString failure = m_x.start("1280x800x24");
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        {
            // A second profile for the tray menu (names end in their number),
            // with a report rate of its own (500 Hz) to tell its switch by.
            QSettings names(m_program.filePath("modules/setting/name.bin"), QSettings::IniFormat);
            names.setValue("profile/profileName", QStringList{"Standard0", "Gaming1"});
            QSettings second(m_program.filePath("modules/setting/p2.bin"), QSettings::IniFormat);
            second.setValue("mouse/reportRate", 2);
        }
        QProcessEnvironment &env = m_program.env;
        env.insert("DISPLAY", m_x.display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("HOME", m_home.path());
        env.insert("XDG_RUNTIME_DIR", m_home.path());
        // No session bus: the icon goes to the X tray host.
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        env.insert("XDG_DATA_DIRS", m_home.filePath("share"));

        const QString trayFailure = m_x.startTrayHost(env);
        QVERIFY2(trayFailure.isEmpty(), qPrintable(trayFailure));
        // The tray and key capture lines are routine ones.
        m_process = m_program.start({"--verbose"});
    }
    void connectsAndShowsDetectDevice()
    {
        QVERIFY2(waitForOutput("Tray message: Info - Detect Device"), m_output.constData());
        QVERIFY(waitFor([this] { return window(isMainWindow).isValid(); }));
        m_window = window(isMainWindow);
        QVERIFY2(waitFor([this] { return window(isTrayIcon).isValid(); }), "no icon in the tray");
        // The scene locks itself for a second after start-up.
        QTest::qWait(1500);
        screenshot("detected");
    }
    // Each dialog shows over its place and closes again, without a word to the
    // mouse; the profile manager exports the active profile and imports it as
    // a third through the real file dialogs (no Desktop folder here: they
    // start in the home folder).
    void everyDialogOpensOnce()
    {
        const auto exportAndImport = [this] {
            click(profileRow1, 3);
            QTest::qWait(300);
            click(exportEntry);
            answerFileDialog("Save File", "exported.pf");
            const QByteArray active = contents(m_program.filePath("modules/setting/p1.bin"));
            QVERIFY(!active.isEmpty());
            QCOMPARE(contents(m_home.filePath("exported.pf")), active);
            click(importButton);
            answerFileDialog("Open File", "exported.pf");
            QCOMPARE(contents(m_program.filePath("modules/setting/p3.bin")), active);
        };
        const struct
        {
            const char *name;
            QPoint open, inside, close;
            std::function<void()> use;
        } dialogs[] = {
            {"help-menu", helpButton, helpMenu, helpButton, {}},
            {"system-settings", systemSettingButton, centre, settingsClose, {}},
            {"button-assignment", keyRow3, centre, assignClose, {}},
            {"macro-editor", macroEditorRow, centre, editorClose, {}},
            {"gun-editor", gunEditorRow, centre, editorClose, {}},
            {"reset-question", resetButton, {400, 345}, resetCancel, {}},
            {"profiles", configButton, centre, profilesClose, exportAndImport},
        };
        const int mark = m_program.record().size();
        for (const auto &dialog : dialogs) {
            const QPoint probe = m_window.topLeft() + dialog.inside;
            const QRgb before = screenshot().pixel(probe);
            const auto shown = [&](bool open) {
                return waitFor([&] { return (screenshot().pixel(probe) != before) == open; }, 5000);
            };
            click(dialog.open);
            QVERIFY2(shown(true), dialog.name);
            QTest::qWait(300);
            screenshot(dialog.name);
            if (dialog.use)
                dialog.use();
            click(dialog.close);
            QVERIFY2(shown(false), dialog.name);
        }
        QCOMPARE(m_program.record(mark), QStringList());
    }
    // The close button hides the window; a second copy brings it back and
    // ends with 1, and so does one click on the tray icon (StatusNotifier
    // hosts send only that). The tray menu lists the three profiles and
    // switches to the one chosen.
    void trayClickAndTrayProfileMenu()
    {
        hide();
        QCOMPARE(m_process->state(), QProcess::Running);
        auto second = m_program.start({"--verbose"});
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitCode(), 1);
        QVERIFY2(waitFor([this] { return window(isMainWindow).isValid(); }), "not back");
        hideAndClickTheIcon();

        // A border of 1 px, "Show window", a separator of 1 px, one radio entry
        // per profile, a separator and "Quit (&Q)", 22 px each.
        const QRect menu = openTrayMenu();
        QCOMPARE((menu.height() - 4) / 22 - 2, 3);
        const int mark = m_program.record().size();
        click({menu.center().x(), menu.top() + 1 + 22 + 1 + 22 + 11}, 1, false);
        QVERIFY(waitFor(
            [&] { return m_program.record(mark).contains("feature 00 01 02 00 00 00 00 00 fc"); }));
    }
    // With the mouse gone, a click on the tray icon shows the window in its
    // no-mouse state (the panels covered by a dark sheet); the mouse coming
    // back lifts it without a click.
    void noMouseStateOnActivation()
    {
        // The tray's profile switch may still be sending, with the window
        // locked: first the mouse hears nothing for a second.
        for (qsizetype sent = -1; sent != m_program.record().size(); QTest::qWait(1000))
            sent = m_program.record().size();
        // Mean grey of the panels' area, below the title bar.
        const auto panels = [this](const QString &name) {
            m_x.xdotool({"mousemove", "640", "700"}); // off the window
            QTest::qWait(500);
            const QImage shot =
                screenshot(name).copy(window(isMainWindow).adjusted(40, 100, -40, -40));
            return qGray(
                shot.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0));
        };
        const int connected = panels("before-unplug");
        QVERIFY(m_program.setMouseFault("unplug"));
        QVERIFY2(waitFor([this] { return waitForOutput("Device removed", 100); }), "no unplug");
        hideAndClickTheIcon();
        const int noMouse = panels("no-mouse");
        QVERIFY2(noMouse < connected / 3,
                 qPrintable(QString("%1 with, %2 without").arg(connected).arg(noMouse)));
        QVERIFY(m_program.setMouseFault("plug"));
        QVERIFY(waitFor([&] { return panels("replugged") > connected * 2 / 3; }, 20000));
    }
    // "Quit (&Q)" is the menu's last entry, 22 px high above a 1 px border.
    // No failure line: no command failed, and a pointer setting this desktop
    // lacks (the wheel scroll amount) was not even attempted on the switch.
    void quitThroughTheTrayMenu()
    {
        const QRect menu = openTrayMenu();
        QVERIFY2(menu.isValid(), "no tray menu");
        click({menu.center().x(), menu.bottom() - 12}, 1, false);
        QVERIFY(m_process->waitForFinished(10000));
        QCOMPARE(m_process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_process->exitCode(), 0);
        waitForOutput("");
        QVERIFY2(!m_output.contains(" Failed"), m_output.constData());
        // The scene loaded without errors on any screen or dialog.
        QVERIFY2(!m_output.contains("qrc:/modules/qml/"), m_output.constData());
    }
    void cleanupTestCase()
    {
        if (m_process)
            Program::stop(*m_process);
    }

private:
    QRect window(const std::function<bool(const QRect &)> &which,
                 const QStringList &search = {"--class", "^skarn-config$"}) const
    {
        return m_x.window(search, which);
    }
    void click(const QPoint &at, int button = 1, bool inWindow = true)
    {
        QVERIFY(m_x.click(inWindow ? m_window.topLeft() + at : at, button));
    }
    // The window hidden through its close button, shown by a tray click.
    void hide()
    {
        if (window(isMainWindow).isValid())
            click(closeButton);
        QVERIFY2(waitFor([this] { return !window(isMainWindow).isValid(); }), "not hidden");
    }
    void hideAndClickTheIcon()
    {
        hide();
        click(window(isTrayIcon).center(), 1, false);
        QVERIFY2(waitFor([this] { return window(isMainWindow).isValid(); }),
                 "a click did not show it");
        m_window = window(isMainWindow);
    }
    // A new small window of the program.
    QRect openTrayMenu()
    {
        const QRect icon = window(isTrayIcon);
        click(icon.center(), 3, false);
        QRect menu;
        waitFor([&] {
            menu = window([&](const QRect &w) {
                return w != icon && w.width() > 40 && w.width() < 300 && w.height() < 400;
            });
            return menu.isValid();
        });
        screenshot("tray-menu");
        return menu;
    }
    // Saved among the artefacts when named.
    QImage screenshot(const QString &name = {})
    {
        const QImage image = m_x.grab();
        if (!name.isEmpty())
            image.save(
                QString::asprintf(SKARN_E2E_ARTEFACTS "/%02d-%s.png", ++m_shot, qPrintable(name)));
        return image;
    }
    // Waits for the file dialog titled `title`, checks by its pixels that
    // its texts can be read, and answers it with `fileName`.
    void answerFileDialog(const QString &title, const QString &fileName)
    {
        const QStringList search{"--name", "^" + title + "$"};
        QVERIFY2(waitFor([&] { return window({}, search).isValid(); }), qPrintable(title));
        const QRect dialog = window({}, search);
        QTest::qWait(800);
        QVERIFY(waitFor([&] {
            return m_x.xdotool(QStringList{"search", "--onlyvisible"} + search +
                               QStringList{"windowfocus", "--sync", "%1"});
        }));
        const QImage before = screenshot(title).copy(dialog);
        QVERIFY(m_x.xdotool({"type", "--delay", "20", fileName}));
        QTest::qWait(500);
        const QImage after = screenshot(title + "-typed").copy(dialog);
        // The pixels typing changed clearly stand out from the dialog's face
        // (its most common grey), on which its labels are drawn in the same
        // colour: not black on black.
        QList<int> histogram(256, 0);
        int typed = 0, sum = 0;
        for (int y = 0; y < after.height(); ++y) {
            for (int x = 0; x < after.width(); ++x) {
                const int level = qGray(after.pixel(x, y));
                ++histogram[level];
                const bool changed = qAbs(level - qGray(before.pixel(x, y))) > 85;
                typed += changed;
                sum += changed ? level : 0;
            }
        }
        const int face =
            int(std::max_element(histogram.begin(), histogram.end()) - histogram.begin());
        const int text = typed ? sum / typed : face;
        QVERIFY2(typed >= 60 && qAbs(face - text) > 85,
                 qPrintable(QString::asprintf("%d px of grey %d on %d", typed, text, face)));
        QVERIFY(m_x.xdotool({"key", "Return"}));
        QVERIFY2(waitFor([&] { return !window({}, search).isValid(); }), qPrintable(title));
    }
    bool waitForOutput(const QByteArray &text, int timeoutMs = 15000)
    {
        return Program::waitForOutput(*m_process, m_output, text, timeoutMs);
    }

    XServer m_x;
    Program m_program;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_output;
    QTemporaryDir m_home;
    QRect m_window;
    int m_shot = 0;
};

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
