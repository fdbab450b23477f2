// One session of the real skarn-config from a portable folder, under its own Xvfb with trayer
// as the tray host, on the virtual mouse of family 553, driven with xdotool. Slots run in order.
#include "program.h"
#include "xserver.h"

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QSettings>
#include <QTest>
#include <functional>

class tst_EndToEnd : public QObject
{
    Q_OBJECT

    static bool isMainWindow(const QRect &w) { return w.size() == QSize(1024, 640); }
    static bool isTrayIcon(const QRect &w) { return w.width() <= 32 && w.y() < 24; } // docked
    static constexpr QPoint closeButton{1002, 26}; // in the window, from the main scene's layout

private slots:
    void initTestCase()
    {
        QDir(SKARN_E2E_ARTEFACTS).removeRecursively();
        QDir().mkpath(SKARN_E2E_ARTEFACTS);
        QCOMPARE(m_x.start("1280x800x24"), QString());
        // A second profile for the tray menu (names end in their number), at 500 Hz to tell it by.
        QSettings(m_program.filePath("modules/setting/name.bin"), QSettings::IniFormat)
            .setValue("profile/profileName", QStringList{"Standard0", "Gaming1"});
        QSettings(m_program.filePath("modules/setting/p2.bin"), QSettings::IniFormat)
            .setValue("mouse/reportRate", 2);
        QProcessEnvironment &env = m_program.env;
        for (const QString &pair : QStringList{
                 "DISPLAY=" + m_x.display, "QT_QPA_PLATFORM=xcb", "HOME=" + m_home.path(),
                 "XDG_RUNTIME_DIR=" + m_home.path(), "XDG_DATA_DIRS=" + m_home.filePath("share"),
                 "XDG_CACHE_HOME=" + m_home.filePath(".cache")})
            env.insert(pair.section('=', 0, 0), pair.section('=', 1));
        env.remove("DBUS_SESSION_BUS_ADDRESS"); // no session bus: the icon goes to the X tray host

        QCOMPARE(m_x.startTrayHost(env), QString());
        m_process = m_program.start({"--verbose"});
    }
    // The window it shows tells what was found: no balloon beside it.
    void connectsAndShowsTheWindow()
    {
        QVERIFY2(Program::waitForOutput(*m_process, m_output, "Device Connect"),
                 m_output.constData());
        QVERIFY(waitFor([this] { return (m_window = window(isMainWindow)).isValid(); }));
        QVERIFY2(waitFor([this] { return window(isTrayIcon).isValid(); }), "no icon in the tray");
        m_output += m_process->readAll();
        QVERIFY2(!m_output.contains("Tray message"), m_output.constData());
        screenshot("detected");
        // GIO and what it brings (over a MiB) wait for the first settings write, XInput's
        // client library for the first capture.
        QFile maps(QStringLiteral("/proc/%1/maps").arg(m_process->processId()));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY(!mapped.contains("libgio-2.0") && !mapped.contains("libxcb-xinput"));
        // The start's scene is compiled into the program: nothing to compile and cache.
        QVERIFY(!QDirIterator(m_home.filePath(".cache"), {"*.qmlc", "*.jsc"}, QDir::Files,
                              QDirIterator::Subdirectories)
                     .hasNext());
    }
    // The close button hides the window; a second copy (ending with 1) brings it back, as
    // one tray click does. The tray menu lists the two profiles and switches to one.
    void trayClickAndTrayProfileMenu()
    {
        hideAndClickTheIcon(false);
        QCOMPARE(m_process->state(), QProcess::Running);
        QCOMPARE(std::get<0>(m_program.run({"--verbose"})), 1);
        QVERIFY2(waitFor([this] { return window(isMainWindow).isValid(); }), "not back");
        hideAndClickTheIcon();

        // A 1 px border, "Show window", a 1 px separator, an entry per profile, a
        // separator and "Quit (&Q)", 22 px each.
        const QRect menu = openTrayMenu();
        QCOMPARE((menu.height() - 4) / 22 - 2, 2);
        const int mark = m_program.record().size();
        QVERIFY(m_x.click({menu.center().x(), menu.top() + 1 + 22 + 1 + 22 + 11}));
        QVERIFY(waitFor(
            [&] { return m_program.record(mark).contains("feature 00 01 02 00 00 00 00 00 fc"); }));
    }
    // "Quit (&Q)" is the menu's last entry. No failure line: not even for a pointer
    // setting this desktop lacks (the wheel scroll amount) on the profile switch.
    void quitThroughTheTrayMenu()
    {
        // First the tray's profile switch ends: the mouse hears nothing for a second.
        for (qsizetype sent = -1; sent != m_program.record().size(); QTest::qWait(1000))
            sent = m_program.record().size();
        const QRect menu = openTrayMenu();
        QVERIFY(m_x.click({menu.center().x(), menu.bottom() - 12}));
        QVERIFY(m_process->waitForFinished(10000) &&
                m_process->exitStatus() == QProcess::NormalExit);
        QCOMPARE(m_process->exitCode(), 0);
        m_output += m_process->readAll();
        // No scene errors on any screen or dialog either.
        QVERIFY2(!m_output.contains(" Failed") && !m_output.contains("qrc:/modules/qml/"),
                 m_output.constData());
    }
    // Started by the desktop's autostart with a mouse this user may not open: the balloon is
    // the only word of it, asked for before the tray host has docked the icon, and it points
    // at the docked icon, not at the screen's corner the icon started from.
    void deniedAtAHiddenStartSaysSoInABalloon()
    {
        m_program.env.insert("SKARN_VIRTUAL_MOUSE_ACCESS", "denied");
        m_process = m_program.start({"--hidden"});
        QRect icon;
        QVERIFY(waitFor([&] { return (icon = window(isTrayIcon)).isValid(); }));
        const auto isBalloon = [&](const QRect &w) {
            return w.width() > 150 && w.height() < 150 && w.right() > icon.left();
        };
        QVERIFY2(waitFor([&] { return window(isBalloon).isValid(); }, 5000), "no balloon");
        QVERIFY(!window(isMainWindow).isValid());
    }
    void cleanupTestCase() { Program::stop(*m_process); }

private:
    QRect window(const std::function<bool(const QRect &)> &which) const
    {
        return m_x.window({"--class", "^skarn-config$"}, which);
    }
    // The window hidden through its close button, then shown by a tray click.
    void hideAndClickTheIcon(bool andClick = true)
    {
        if (window(isMainWindow).isValid())
            QVERIFY(m_x.click(m_window.topLeft() + closeButton));
        QVERIFY2(waitFor([this] { return !window(isMainWindow).isValid(); }), "not hidden");
        if (!andClick)
            return;
        QVERIFY(m_x.click(window(isTrayIcon).center()));
        QVERIFY2(waitFor([this] { return (m_window = window(isMainWindow)).isValid(); }),
                 "a click did not show it");
    }
    QRect openTrayMenu()
    {
        const QRect icon = window(isTrayIcon);
        const auto isMenu = [&](const QRect &w) {
            return w != icon && w.width() > 40 && w.width() < 300 && w.height() < 400;
        };
        QRect menu; // none if the click failed: the callers' checks fail then
        if (m_x.click(icon.center(), 3))
            waitFor([&] { return (menu = window(isMenu)).isValid(); });
        screenshot("tray-menu");
        return menu;
    }
    void screenshot(const QString &name)
    {
        m_x.grab().save(
            QString::asprintf(SKARN_E2E_ARTEFACTS "/%02d-%s.png", ++m_shot, qPrintable(name)));
    }
    XServer m_x;
    Program m_program;
    std::unique_ptr<QProcess> m_process = std::make_unique<QProcess>();
    QByteArray m_output;
    QTemporaryDir m_home;
    QRect m_window;
    int m_shot = 0;
};

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
