#include "filesizelimit.h"
#include "pointersettings_linux.h"
#include "session.h"
#include "testdatafolder.h"

#include <QDBusConnection>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#undef signals
#include <gio/gio.h>

namespace {
using D = LinuxPointerSettings::Desktop;

// KWin's input devices, served from a thread of their own: the code under test blocks.
class FakeKwinManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.InputDeviceManager")
    Q_PROPERTY(QStringList devicesSysNames MEMBER names)
public:
    QStringList names;
};

class FakeKwinDevice : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.InputDevice")
    Q_PROPERTY(bool pointer MEMBER pointer)
    Q_PROPERTY(bool supportsPointerAcceleration MEMBER pointer)
    Q_PROPERTY(double pointerAcceleration MEMBER acceleration WRITE setAcceleration)
public:
    FakeKwinDevice(bool isPointer, bool keeps) : pointer(isPointer), keeps(keeps) {}
    void setAcceleration(double value) { acceleration = keeps ? value : acceleration; }
    bool pointer, keeps;
    double acceleration = 0;
};
// Starts a server that reports its address on its first line.
QByteArray firstLine(QProcess &server, const QString &program, const QStringList &arguments)
{
    server.start(program, arguments);
    while (server.waitForStarted(5000) && !server.canReadLine() && server.waitForReadyRead(10000)) {
    }
    return server.readLine().trimmed();
}

// Before GIO's first use: GNOME's settings stay in this process.
const bool memoryBackend = qputenv("GSETTINGS_BACKEND", "memory");
} // namespace

class tst_PointerSettings : public QObject
{
    Q_OBJECT

private slots:
    // By the running desktop: GNOME's values read back, the refusals' notices, the reasons.
    void slidersReachTheRunningDesktop()
    {
        const QString linux = "|Not settable on Linux; kept for Windows";
        const QString here = "Not settable here; kept for Windows";
        const QString notTaken = "|The desktop did not take the ";
        // Desktop, level, slots that log their failure, language, what is told.
        const std::tuple<QString, uint, int, QString, QString> rows[] = {
            {"ubuntu:GNOME/x11", 0, 0, "English", "-0.9|900||" + linux},
            {"X-Cinnamon/x11", 1, 0, "English", "-0.8|830||" + linux},
            {"GNOME/wayland", 10, 0, "English", "1|200||" + linux},
            // KDE and plain X11 leave GNOME's schema alone; without their server they refuse.
            {"KDE/wayland", 3, 2, "English",
             "0|400" + notTaken + "pointer speed." + notTaken + "double-click speed.||" + linux},
            {"GNOMEISH/", 3, 1, "ChineseSimplified",
             QString::fromUtf8("0|400|桌面未接受指针速度。||此桌面无法设置；为 Windows 保留|Linux "
                               "无法设置；为 Windows 保留")},
            {"sway/wayland", 3, 0, "English", "0|400|" + here + "|" + here + linux}};
        for (const auto &[desktop, level, failed, language, expected] : rows) {
            TestDataFolder folder;
            Session session(folder.path(), nullptr);
            session.store().setGlobalData("common/language", language);
            QSignalSpy notices(&session, &Session::notice);
            GSettings *gnome = g_settings_new("org.gnome.desktop.peripherals.mouse");
            g_settings_reset(gnome, "speed");
            g_settings_reset(gnome, "double-click");
            qunsetenv("DISPLAY"); // no X server for an X11 session
            session.setPointerSettings(
                std::make_unique<LinuxPointerSettings>(LinuxPointerSettings::desktopFor(
                    desktop.section('/', 0, 0), desktop.section('/', 1))));
            for (const QByteArray &slot :
                 QByteArrayList{"setCursorSpeed", "setDoubleClickSpeed"}.mid(0, failed))
                QTest::ignoreMessage(QtWarningMsg, slot + " Failed");
            session.setPointerSpeed(int(level));
            session.setDoubleClickSpeed(int(level));
            session.setScrollLines(int(level));
            QStringList told{QString::number(g_settings_get_double(gnome, "speed")),
                             QString::number(g_settings_get_int(gnome, "double-click"))};
            g_object_unref(gnome);
            for (const QList<QVariant> &notice : std::as_const(notices))
                told << notice.at(0).toString();
            for (int setting = 0; setting < 3; ++setting)
                told << session.pointerSettingReason(setting);
            QCOMPARE(told.join('|'), expected);
        }
    }

    void kdeSettingsAreReadBack()
    {
        // An unknown GNOME schema is refused (GSettings would end the program).
        LinuxPointerSettings absent(D::Gnome);
        absent.setGnomeSchema("org.skarn.test.absent");
        QVERIFY(!absent.setPointerSpeed(10) && !absent.setDoubleClickTime(500));
        QProcess bus; // a session bus of our own (dbus-daemon: scripts/install-deps.sh)
        const QString address =
            firstLine(bus, "dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        QDBusConnection service = QDBusConnection::connectToBus(address, "fake-kwin");
        QThread thread;
        FakeKwinManager manager;
        FakeKwinDevice mouse(true, true), keyboard(false, true), stuck(true, false);
        const QList<std::pair<QString, QObject *>> objects{
            {"", &manager}, {"/event3", &mouse}, {"/event4", &keyboard}, {"/event5", &stuck}};
        for (auto [path, object] : objects) {
            object->moveToThread(&thread);
            QVERIFY(service.registerObject("/org/kde/KWin/InputDevice" + path, object,
                                           QDBusConnection::ExportAllProperties));
        }
        thread.start();
        QVERIFY(service.registerService("org.kde.KWin"));
        QTemporaryDir config;
        const QString globals = config.filePath("kdeglobals");
        LinuxPointerSettings desktop(D::Kde);
        desktop.setKdeSession(QDBusConnection::connectToBus(address, "under-test"), globals);
        for (auto [names, took] : {std::pair{QStringList{"event3", "event4"}, true},
                                   {{"event3", "event5"}, false},
                                   {{"event4"}, false}}) {
            manager.names = names;
            QCOMPARE(desktop.setPointerSpeed(14), took);
        }
        QCOMPARE(mouse.acceleration, 0.4);
        QCOMPARE(keyboard.acceleration, 0.0);
        // Only the one line of kdeglobals changes; a missing key, group or file is added.
        const char *files[][2] = {
            {"[A]\nb=1\n\n[KDE]\nDoubleClickInterval=400\nc=2\n\n[W]\nd=3\n",
             "[A]\nb=1\n\n[KDE]\nDoubleClickInterval=270\nc=2\n\n[W]\nd=3\n"},
            {"[KDE]\nc=2\n\n[W]\nd=3\n", "[KDE]\nc=2\nDoubleClickInterval=270\n\n[W]\nd=3\n"},
            {"[A]\nb=1\n", "[A]\nb=1\n\n[KDE]\nDoubleClickInterval=270\n"},
            {"", "[KDE]\nDoubleClickInterval=270\n"}};
        for (const auto &file : files) {
            QFile text(globals);
            QVERIFY(text.open(QIODevice::WriteOnly) && text.write(file[0]) >= 0);
            text.close();
            QVERIFY(desktop.setDoubleClickTime(270) && text.open(QIODevice::ReadOnly));
            QCOMPARE(text.readAll(), QByteArray(file[1]));
        }
        QVERIFY(!desktop.setDoubleClickTime(0));
        // A disk that fills during the write leaves the user's file as it was.
        limitFileSize(16);
        const bool written = desktop.setDoubleClickTime(300);
        limitFileSize(RLIM_INFINITY);
        QFile kept(globals);
        QVERIFY(!written && kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray(files[3][1]));
        service.unregisterService("org.kde.KWin");
        QVERIFY(!desktop.setPointerSpeed(10));
        thread.quit();
        thread.wait();
        bus.terminate();
        bus.waitForFinished(5000);
    }

    // Without a desktop of its own: the X server's acceleration as `xset q` reads it back.
    void x11AccelerationIsReadBack()
    {
        QProcess server;
        const QByteArray display =
            firstLine(server, "Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-noreset"});
        QVERIFY2(!display.isEmpty(), "Xvfb did not start");
        qputenv("DISPLAY", ":" + display);
        LinuxPointerSettings desktop(D::X11);
        for (auto [speed, shown] : {std::pair{14, 14}, {0, 1}}) {
            QVERIFY(desktop.setPointerSpeed(speed));
            QProcess xset;
            xset.start("xset", {"q"});
            QVERIFY(xset.waitForFinished(10000));
            QVERIFY(xset.readAllStandardOutput().simplified().contains(
                QStringLiteral("acceleration: %1/10 threshold: 4").arg(shown).toLatin1()));
        }
        server.terminate();
        server.waitForFinished(5000);
        QVERIFY(!desktop.setPointerSpeed(14));
    }
};

QTEST_MAIN(tst_PointerSettings)
#include "tst_pointersettings.moc"
