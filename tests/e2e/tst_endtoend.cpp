// End to end: one session of the real skarn-config from a portable folder,
// under its own Xvfb with trayer as the tray host, on the virtual mouse of
// family 553, driven with xdotool at the positions the main scene's layout
// gives its controls. The slots run in order.
#include "program.h"
#include "xserver.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QRect>
#include <QSettings>
#include <QTest>
#include <algorithm>
#include <functional>
#include <xcb/xcb.h>

namespace {
// Points in the 1024 x 640 window, from the main scene's layout.
constexpr QPoint closeButton(1002, 26), helpButton(930, 26), helpMenu(824, 42);
// Left panel: the third key's row, the editor box's macro and gun rows,
// the system-settings button.
constexpr QPoint keyRow3(140, 188), macroEditorRow(140, 396), gunEditorRow(140, 425),
    systemSettingButton(140, 514);
// Bottom bar: Config and Reset; the reset question's Cancel.
constexpr QPoint configButton(808, 620), resetButton(888, 620), resetCancel(574, 348);
// Close marks of the centred dialogs: system settings (416 x 312), button
// assignment (520 x 560), macro and gun editors (640 x 448), profiles
// (300 x 280).
constexpr QPoint settingsClose(702, 179), assignClose(754, 55), editorClose(814, 111),
    profilesClose(644, 195);
// The profile manager's first row, its menu's Export entry, its Import.
constexpr QPoint profileRow1(438, 240), exportEntry(489, 277), importButton(568, 432);
constexpr QPoint centre(512, 320);

bool isMainWindow(const QRect &window)
{
    return window.size() == QSize(1024, 640);
}
bool isTrayIcon(const QRect &window)
{
    return window.width() <= 32 && window.y() < 24;
}

// Polls `condition` ten times a second.
template<typename F> bool waitFor(F condition, int timeoutMs = 10000)
{
    return condition() || QTest::qWaitFor(
                              [&] {
                                  QTest::qWait(100);
                                  return condition();
                              },
                              timeoutMs);
}
} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void connectsAndShowsDetectDevice();
    void everyDialogOpensOnce();
    void trayClickAndTrayProfileMenu();
    void noMouseStateOnActivation();
    void quitThroughTheTrayMenu();

private:
    // The first visible window `search` finds (xdotool's words, by default
    // the program's windows) whose geometry is `which`.
    QRect window(const std::function<bool(const QRect &)> &which,
                 const QStringList &search = {"--class", "^skarn-config$"}) const;
    QRect mainWindow() const { return window(isMainWindow); }
    // The docked tray icon: a small window of the program in the corner.
    QRect trayIcon() const { return window(isTrayIcon); }
    void click(const QPoint &at, int button = 1, bool inWindow = true);
    // The window hidden through its close button, shown by a tray click.
    void hideAndClickTheIcon();
    // A new small window of the program: the tray menu.
    QRect openTrayMenu();
    QImage screenshot(const QString &name);
    // Waits for the file dialog titled `title`, checks by its pixels that
    // its texts can be read, and answers it with `fileName`.
    void answerFileDialog(const QString &title, const QString &fileName);
    bool waitForOutput(const QByteArray &text, int timeoutMs = 15000)
    {
        return Program::waitForOutput(*m_process, m_output, text, timeoutMs);
    }

    XServer m_x;
    QProcess m_tray;
    Program m_program;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_output;
    QTemporaryDir m_home;
    QRect m_window;
    int m_shot = 0;
};

QRect tst_EndToEnd::window(const std::function<bool(const QRect &)> &which,
                           const QStringList &search) const
{
    QByteArray shell;
    m_x.xdotool(QStringList{"search", "--onlyvisible"} + search +
                    QStringList{"getwindowgeometry", "--shell", "%@"},
                &shell);
    QMap<QString, int> v;
    for (const QString &line : QString::fromLatin1(shell).split('\n')) {
        v.insert(line.section('=', 0, 0), line.section('=', 1).toInt());
        const QRect geometry(v["X"], v["Y"], v["WIDTH"], v["HEIGHT"]);
        if (line.startsWith("SCREEN=") && which(geometry))
            return geometry;
    }
    return {};
}

void tst_EndToEnd::click(const QPoint &at, int button, bool inWindow)
{
    const QPoint screen = inWindow ? m_window.topLeft() + at : at;
    QVERIFY(m_x.xdotool({"mousemove", QString::number(screen.x()), QString::number(screen.y())}));
    QTest::qWait(150);
    QVERIFY(m_x.xdotool({"click", QString::number(button)}));
}

void tst_EndToEnd::hideAndClickTheIcon()
{
    if (mainWindow().isValid())
        click(closeButton);
    QVERIFY2(waitFor([this] { return !mainWindow().isValid(); }), "the window did not hide");
    click(trayIcon().center(), 1, false);
    QVERIFY2(waitFor([this] { return mainWindow().isValid(); }), "a click did not show it");
    m_window = mainWindow();
}

QRect tst_EndToEnd::openTrayMenu()
{
    const QRect icon = trayIcon();
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

QImage tst_EndToEnd::screenshot(const QString &name)
{
    xcb_connection_t *connection = xcb_connect(qPrintable(m_x.display), nullptr);
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const int w = screen->width_in_pixels, h = screen->height_in_pixels;
    xcb_get_image_reply_t *reply = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0, w, h, ~0u),
        nullptr);
    QImage image;
    if (reply && xcb_get_image_data_length(reply) >= w * h * 4)
        image = QImage(xcb_get_image_data(reply), w, h, w * 4, QImage::Format_RGB32).copy();
    free(reply);
    xcb_disconnect(connection);
    QDir().mkpath(SKARN_E2E_ARTEFACTS);
    image.save(QStringLiteral(SKARN_E2E_ARTEFACTS "/%1-%2.png")
                   .arg(++m_shot, 2, 10, QLatin1Char('0'))
                   .arg(name));
    return image;
}

void tst_EndToEnd::answerFileDialog(const QString &title, const QString &fileName)
{
    const QStringList search{"--name", "^" + title + "$"};
    const auto any = [](const QRect &) {
        return true;
    };
    QVERIFY2(waitFor([&] { return window(any, search).isValid(); }),
             qPrintable(title + " did not open"));
    const QRect dialog = window(any, search);
    QTest::qWait(800);
    QVERIFY(m_x.xdotool(QStringList{"search", "--onlyvisible"} + search +
                        QStringList{"windowfocus", "--sync", "%1"}));
    const QImage before = screenshot(title).copy(dialog);
    QVERIFY(m_x.xdotool({"type", "--delay", "20", fileName}));
    QTest::qWait(500);
    const QImage after = screenshot(title + "-typed").copy(dialog);
    // The pixels typing changed clearly and their mean brightness, against
    // the dialog's face (its most common brightness), on which its labels
    // are drawn in the same colour: not black on black.
    QList<int> histogram(256, 0);
    qint64 changed = 0, sum = 0;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            const int level = qGray(after.pixel(x, y));
            ++histogram[level];
            if (qAbs(level - qGray(before.pixel(x, y))) > 85) {
                ++changed;
                sum += level;
            }
        }
    }
    const int face = int(std::max_element(histogram.begin(), histogram.end()) - histogram.begin());
    const int brightness = changed ? int(sum / changed) : face;
    QVERIFY2(changed >= 60 && qAbs(face - brightness) > 85,
             qPrintable(QStringLiteral("%1: %2 pixels of text, brightness %3 on a face of %4")
                            .arg(title)
                            .arg(changed)
                            .arg(brightness)
                            .arg(face)));
    QVERIFY(m_x.xdotool({"key", "Return"}));
    QVERIFY2(waitFor([&] { return !window(any, search).isValid(); }),
             qPrintable(title + " did not close"));
}

void tst_EndToEnd::initTestCase()
{
    QDir(SKARN_E2E_ARTEFACTS).removeRecursively();
    QVERIFY2(!QStandardPaths::findExecutable("trayer").isEmpty(),
             "trayer is missing (scripts/install-deps.sh installs it)");
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

    // The tray host; started again should it fail to take the tray.
    for (int attempt = 0; attempt < 2; ++attempt) {
        Program::stop(m_tray);
        m_tray.setProcessEnvironment(env);
        m_tray.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "request",
                                "--height", "24", "--SetDockType", "true"});
        if (waitFor([this] { return m_x.xdotool({"search", "--name", "^panel$"}); }, 15000))
            break;
    }
    QVERIFY2(m_x.xdotool({"search", "--name", "^panel$"}), "trayer did not come up");
    // The tray and key capture lines are routine ones.
    m_process = m_program.start({"--verbose"});
}

void tst_EndToEnd::cleanupTestCase()
{
    if (m_process)
        Program::stop(*m_process);
    Program::stop(m_tray);
}

void tst_EndToEnd::connectsAndShowsDetectDevice()
{
    QVERIFY2(waitForOutput("Tray message: Info - Detect Device"), m_output.constData());
    QVERIFY(waitFor([this] { return mainWindow().isValid(); }));
    m_window = mainWindow();
    QVERIFY2(trayIcon().isValid(), "the tray host did not take the icon");
    // The scene locks itself for a second after start-up.
    QTest::qWait(1500);
    screenshot("detected");
}

// Each dialog shows over its place and closes again, without a word to the
// mouse; the profile manager exports the active profile and imports it as
// a third through the real file dialogs (no Desktop folder here: they
// start in the home folder).
void tst_EndToEnd::everyDialogOpensOnce()
{
    const auto exportAndImport = [this] {
        click(profileRow1, 3);
        QTest::qWait(300);
        click(exportEntry);
        answerFileDialog("Save File", "exported.pf");
        QFile exported(m_home.filePath("exported.pf"));
        QVERIFY(waitFor([&] { return exported.exists(); }, 5000));
        QVERIFY(exported.open(QIODevice::ReadOnly));
        const QByteArray bytes = exported.readAll();
        QFile active(m_program.filePath("modules/setting/p1.bin"));
        QVERIFY(active.open(QIODevice::ReadOnly));
        QCOMPARE(bytes, active.readAll());
        click(importButton);
        answerFileDialog("Open File", "exported.pf");
        QFile imported(m_program.filePath("modules/setting/p3.bin"));
        QVERIFY(waitFor([&] { return imported.open(QIODevice::ReadOnly); }, 5000));
        QCOMPARE(imported.readAll(), bytes);
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
        const QColor before = screenshot(QString(dialog.name) + "-before").pixelColor(probe);
        click(dialog.open);
        QTest::qWait(500);
        QVERIFY2(screenshot(dialog.name).pixelColor(probe) != before, dialog.name);
        if (dialog.use)
            dialog.use();
        click(dialog.close);
        QTest::qWait(400);
        QVERIFY2(screenshot(QString(dialog.name) + "-closed").pixelColor(probe) == before,
                 dialog.name);
    }
    QCOMPARE(m_program.record(mark), QStringList());
}

// The close button hides the window; a second copy brings it back and
// ends with 1, and so does one click on the tray icon (StatusNotifier
// hosts send only that). The tray menu lists the three profiles and
// switches to the one chosen.
void tst_EndToEnd::trayClickAndTrayProfileMenu()
{
    click(closeButton);
    QVERIFY2(waitFor([this] { return !mainWindow().isValid(); }), "the window did not hide");
    QCOMPARE(m_process->state(), QProcess::Running);
    auto second = m_program.start({"--verbose"});
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitCode(), 1);
    QVERIFY2(waitFor([this] { return mainWindow().isValid(); }), "a second copy did not show it");
    hideAndClickTheIcon();
    screenshot("tray-click");

    // A border of 1 px, "Show window", a separator of 1 px, one radio entry
    // per profile, a separator and "Quit (&Q)", 22 px each.
    const QRect menu = openTrayMenu();
    QCOMPARE((menu.height() - 4) / 22 - 2, 3);
    const int mark = m_program.record().size();
    click({menu.center().x(), menu.top() + 1 + 22 + 1 + 22 + 11}, 1, false);
    QVERIFY2(waitFor([this] {
                 QSettings global(m_program.filePath("modules/setting/apConfig.bin"),
                                  QSettings::IniFormat);
                 return global.value("mouse/profileNo").toInt() == 1;
             }),
             "the second profile did not become active");
    QVERIFY(waitFor(
        [&] { return m_program.record(mark).contains("feature 00 01 02 00 00 00 00 00 fc"); }));
}

// With the mouse gone, a click on the tray icon shows the window in its
// no-mouse state (the panels covered by a dark sheet); the mouse coming
// back lifts it without a click.
void tst_EndToEnd::noMouseStateOnActivation()
{
    // The tray's profile switch may still be sending, with the window
    // locked: first the mouse hears nothing for a second.
    for (qsizetype sent = -1; sent != m_program.record().size(); QTest::qWait(1000))
        sent = m_program.record().size();
    // Mean brightness of the panels' area, below the title bar.
    const auto panelBrightness = [](const QImage &screen, const QRect &window) {
        const QImage panels = screen.copy(window.adjusted(40, 100, -40, -40));
        return qGray(
            panels.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0));
    };
    QVERIFY(m_x.xdotool({"mousemove", "640", "700"}));
    QTest::qWait(300);
    const int connected = panelBrightness(screenshot("before-unplug"), m_window);
    QVERIFY(m_program.setMouseFault("unplug"));
    QVERIFY2(waitFor([this] { return waitForOutput("Device removed", 100); }),
             "the unplug went unnoticed");
    hideAndClickTheIcon();
    QVERIFY(m_x.xdotool({"mousemove", "640", "700"})); // off the window
    QTest::qWait(500);
    const int noMouse = panelBrightness(screenshot("no-mouse"), m_window);
    QVERIFY2(
        noMouse < connected / 3,
        qPrintable(QStringLiteral("brightness %1 with, %2 without").arg(connected).arg(noMouse)));

    const qsizetype connects = m_output.count("Device Connect");
    QVERIFY(m_program.setMouseFault("plug"));
    QVERIFY2(waitFor([&] {
                 waitForOutput("", 100);
                 return m_output.count("Device Connect") > connects;
             }),
             "the mouse coming back went unnoticed");
    QVERIFY(waitFor([&] {
        return mainWindow().isValid() &&
               panelBrightness(screenshot("replugged"), mainWindow()) > connected * 2 / 3;
    }));
}

// "Quit (&Q)" is the menu's last entry, 22 px high above a 1 px border.
// No failure line: no command failed, and a pointer setting this desktop
// lacks (the wheel scroll amount) was not even attempted on the switch.
void tst_EndToEnd::quitThroughTheTrayMenu()
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

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
