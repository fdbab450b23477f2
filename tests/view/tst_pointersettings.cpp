#include "myqquickview.h"
#include "pointersettings_linux.h"
#include "testdatafolder.h"

#include <QDBusConnection>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <memory>

#undef signals
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

namespace {
// Notes every value handed to the desktop as "<setting> <value>".
class RecordingPointerSettings : public PointerSettings
{
public:
    // Not `settable`: the desktop has no place for anything but the speed.
    RecordingPointerSettings(QStringList *log, bool accept, bool settable = true)
        : m_log(log), m_accept(accept), m_settable(settable)
    {}
    bool setPointerSpeed(int speed) override { return note("speed", speed); }
    bool setDoubleClickTime(int milliseconds) override { return note("double", milliseconds); }
    bool setWheelScrollLines(unsigned lines) override { return note("lines", lines); }
    bool canSet(Setting setting) const override { return m_settable || setting == PointerSpeed; }

private:
    bool note(const char *setting, qint64 value)
    {
        m_log->append(QStringLiteral("%1 %2").arg(setting).arg(value));
        return m_accept;
    }
    QStringList *m_log;
    bool m_accept;
    bool m_settable;
};

const char *testSchema = R"(<schemalist>
  <schema id="org.skarn.test.mouse" path="/org/skarn/test/mouse/">
    <key name="speed" type="d"><default>0</default><range min="-1" max="1"/></key>
    <key name="double-click" type="i"><default>400</default><range min="100" max="1000"/></key>
  </schema>
</schemalist>
)";

// A settings backend that accepts every write and keeps none, as dconf does
// when its service is gone: the write seems to succeed, reading back shows
// the old value.
struct LosingBackend
{
    GSettingsBackend parent;
};
struct LosingBackendClass
{
    GSettingsBackendClass parent;
};
G_DEFINE_TYPE(LosingBackend, losing_backend, G_TYPE_SETTINGS_BACKEND)

GVariant *losingRead(GSettingsBackend *, const gchar *, const GVariantType *, gboolean)
{
    return nullptr; // the schema's default
}
gboolean losingWrite(GSettingsBackend *, const gchar *, GVariant *value, gpointer)
{
    g_variant_unref(g_variant_ref_sink(value));
    return TRUE;
}
gboolean losingWritable(GSettingsBackend *, const gchar *)
{
    return TRUE;
}
void losing_backend_init(LosingBackend *)
{}
void losing_backend_class_init(LosingBackendClass *klass)
{
    GSettingsBackendClass *backend = G_SETTINGS_BACKEND_CLASS(klass);
    backend->read = losingRead;
    backend->write = losingWrite;
    backend->get_writable = losingWritable;
}

// KWin's input devices on a private bus, served from a thread of their own
// so that the blocking calls of the code under test find them answering.
class FakeKwinManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.InputDeviceManager")
    Q_PROPERTY(QStringList devicesSysNames READ devicesSysNames)
public:
    QStringList names;
    QStringList devicesSysNames() const { return names; }
};

class FakeKwinDevice : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.InputDevice")
    Q_PROPERTY(bool pointer READ pointer)
    Q_PROPERTY(bool supportsPointerAcceleration READ pointer)
    Q_PROPERTY(double pointerAcceleration READ acceleration WRITE setAcceleration)
public:
    FakeKwinDevice(bool isPointer, bool keeps) : m_pointer(isPointer), m_keeps(keeps) {}
    bool pointer() const { return m_pointer; }
    double acceleration() const { return m_acceleration; }
    void setAcceleration(double value)
    {
        if (m_keeps)
            m_acceleration = value;
    }

private:
    bool m_pointer;
    bool m_keeps;
    double m_acceleration = 0;
};

QString kdeGlobals(const QString &path, const QByteArray &write = {})
{
    QFile file(path);
    if (!write.isEmpty())
        return file.open(QIODevice::WriteOnly) && file.write(write) ? QString() : "not written";
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
} // namespace

class tst_PointerSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void levelsReachTheDesktop_data();
    void levelsReachTheDesktop();
    void failuresAreLoggedAndShown();
    void desktopIsTheRunningOne();
    void gnomeSettingsAreReadBack();
    void kdeSettingsAreReadBack();
    void x11AccelerationIsReadBack();

private:
    QTemporaryDir m_schemas;
    QProcess m_bus;
    QString m_busAddress;
};

void tst_PointerSettings::initTestCase()
{
    // Before GIO is used for the first time: a private schema and an
    // in-memory backend, so the test never touches the user's desktop.
    QFile schema(m_schemas.filePath("org.skarn.test.gschema.xml"));
    QVERIFY(schema.open(QIODevice::WriteOnly));
    schema.write(testSchema);
    schema.close();
    QCOMPARE(QProcess::execute("glib-compile-schemas", {m_schemas.path()}), 0);
    qputenv("GSETTINGS_SCHEMA_DIR", m_schemas.path().toUtf8());
    qputenv("GSETTINGS_BACKEND", "memory");

    // A session bus of our own.
    const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
    QVERIFY2(!daemon.isEmpty(), "dbus-daemon is missing (scripts/install-deps.sh installs it)");
    m_bus.start(daemon, {"--session", "--nofork", "--print-address=1"});
    QVERIFY(m_bus.waitForStarted(5000));
    while (!m_bus.canReadLine())
        QVERIFY2(m_bus.waitForReadyRead(10000), "dbus-daemon did not report its address");
    m_busAddress = QString::fromLatin1(m_bus.readLine().trimmed());
}

void tst_PointerSettings::cleanupTestCase()
{
    m_bus.terminate();
    m_bus.waitForFinished(5000);
}

void tst_PointerSettings::levelsReachTheDesktop_data()
{
    QTest::addColumn<uint>("level");
    QTest::addColumn<int>("speed");
    QTest::addColumn<double>("gnomeSpeed");
    QTest::addColumn<int>("doubleClick");
    QTest::newRow("0") << 0u << 1 << -0.9 << 900;
    QTest::newRow("1") << 1u << 2 << -0.8 << 830;
    QTest::newRow("5") << 5u << 10 << 0.0 << 550;
    QTest::newRow("7") << 7u << 14 << 0.4 << 410;
    QTest::newRow("10") << 10u << 20 << 1.0 << 200;
}

void tst_PointerSettings::levelsReachTheDesktop()
{
    QFETCH(uint, level);
    QFETCH(int, speed);
    QFETCH(double, gnomeSpeed);
    QFETCH(int, doubleClick);

    TestDataFolder folder;
    QStringList log;
    myQQuickView view;
    QSignalSpy notices(&view, &myQQuickView::userNotice);
    view.setPointerSettings(std::make_unique<RecordingPointerSettings>(&log, true));
    view.mouseSetCursorSpeed(level);
    view.mouseSetDoubleClickSpeed(level);
    view.mouseSetVerticalScrollLines(level * 100);
    QCOMPARE(log, (QStringList{QStringLiteral("speed %1").arg(speed),
                               QStringLiteral("double %1").arg(doubleClick),
                               QStringLiteral("lines %1").arg(level * 100)}));
    QCOMPARE(notices.count(), 0);

    // GNOME's own schema, installed by the dependency script; the memory
    // backend keeps the writes inside this process.
    const char *schemaId = "org.gnome.desktop.peripherals.mouse";
    GSettingsSchema *schema =
        g_settings_schema_source_lookup(g_settings_schema_source_get_default(), schemaId, TRUE);
    QVERIFY2(schema, "gsettings-desktop-schemas is not installed");
    g_settings_schema_unref(schema);
    view.setPointerSettings(
        std::make_unique<LinuxPointerSettings>(LinuxPointerSettings::Desktop::Gnome));
    view.mouseSetCursorSpeed(level);
    view.mouseSetDoubleClickSpeed(level);
    GSettings *settings = g_settings_new(schemaId);
    QVERIFY(qAbs(g_settings_get_double(settings, "speed") - gnomeSpeed) < 1e-9);
    QCOMPARE(g_settings_get_int(settings, "double-click"), doubleClick);
    g_object_unref(settings);
    QCOMPARE(notices.count(), 0);
}

// Each failure keeps its line and tells the user which setting the desktop
// did not take; what the desktop cannot set at all is not attempted and has
// its reason.
void tst_PointerSettings::failuresAreLoggedAndShown()
{
    TestDataFolder folder;
    QStringList log;
    myQQuickView view;
    view.setGlobalData("common/language", "English");
    QSignalSpy notices(&view, &myQQuickView::userNotice);
    view.setPointerSettings(std::make_unique<RecordingPointerSettings>(&log, false));
    QTest::ignoreMessage(QtWarningMsg, "setCursorSpeed Failed");
    view.mouseSetCursorSpeed(3);
    QTest::ignoreMessage(QtWarningMsg, "setDoubleClickSpeed Failed");
    view.mouseSetDoubleClickSpeed(3);
    QTest::ignoreMessage(QtWarningMsg, "setVerticalScrollLines Failed");
    view.mouseSetVerticalScrollLines(3);
    QCOMPARE(log.size(), 3);
    QStringList told;
    for (const QList<QVariant> &notice : std::as_const(notices))
        told << notice.at(0).toString();
    QCOMPARE(told, (QStringList{"The desktop did not take the pointer speed.",
                                "The desktop did not take the double-click speed.",
                                "The desktop did not take the wheel scroll amount."}));
    log.clear();
    view.setPointerSettings(std::make_unique<RecordingPointerSettings>(&log, false, false));
    view.mouseSetDoubleClickSpeed(3);
    view.mouseSetVerticalScrollLines(3);
    QCOMPARE(log, QStringList());
    QCOMPARE(notices.count(), 3);
    QCOMPARE(view.pointerSettingReason(0), QString());
    QCOMPARE(view.pointerSettingReason(1), QStringLiteral("Not settable here; kept for Windows"));
    QCOMPARE(view.pointerSettingReason(2),
             QStringLiteral("Not settable on Linux; kept for Windows"));
    view.setGlobalData("common/language", "ChineseSimplified");
    QCOMPARE(view.pointerSettingReason(2), QString::fromUtf8("Linux 无法设置；为 Windows 保留"));
    // The stored slider positions are the scene's; nothing is written here.
    QVERIFY(!view.getData("mouse/mouseRate", false).toString().isEmpty());
    QCOMPARE(view.getData("mouse/mouseRate", false), view.getData("mouse/mouseRate", true));
}

// The running desktop, and what it lets the program set: speed (s),
// double-click time (d); the scroll amount never. Whatever schemas are
// installed: GNOME's is here, yet KDE and plain X11 sessions do not use it.
void tst_PointerSettings::desktopIsTheRunningOne()
{
    using D = LinuxPointerSettings::Desktop;
    const struct
    {
        const char *current, *session;
        D desktop;
        QString settable;
    } rows[] = {{"GNOME", "wayland", D::Gnome, "sd"},
                {"ubuntu:GNOME", "x11", D::Gnome, "sd"},
                {"X-Cinnamon", "x11", D::Gnome, "sd"},
                {"KDE", "wayland", D::Kde, "sd"},
                {"XFCE", "x11", D::X11, "s"},
                {"GNOMEISH", "", D::X11, "s"},
                {"", "", D::X11, "s"},
                {"sway", "wayland", D::OtherWayland, ""}};
    for (const auto &row : rows) {
        QCOMPARE(LinuxPointerSettings::desktopFor(row.current, row.session), row.desktop);
        LinuxPointerSettings settings(row.desktop);
        QString settable;
        if (settings.canSet(PointerSettings::PointerSpeed))
            settable += 's';
        if (settings.canSet(PointerSettings::DoubleClickTime))
            settable += 'd';
        QVERIFY(!settings.canSet(PointerSettings::WheelScrollLines));
        QVERIFY(!settings.setWheelScrollLines(3));
        QCOMPARE(settable, row.settable);
    }
    QVERIFY(!LinuxPointerSettings(D::OtherWayland).setPointerSpeed(10));
}

void tst_PointerSettings::gnomeSettingsAreReadBack()
{
    LinuxPointerSettings desktop(LinuxPointerSettings::Desktop::Gnome);
    desktop.setGnomeSchema("org.skarn.test.mouse");
    GSettings *settings = g_settings_new("org.skarn.test.mouse");
    QVERIFY(desktop.setPointerSpeed(20));
    QCOMPARE(g_settings_get_double(settings, "speed"), 1.0);
    QCOMPARE(LinuxPointerSettings::gnomeSpeed(40), 1.0);
    QCOMPARE(LinuxPointerSettings::gnomeSpeed(-5), -1.0);
    QVERIFY(desktop.setDoubleClickTime(300));
    // A level beyond the slider's end gives a negative time: refused, and
    // the desktop keeps what it had.
    QVERIFY(!desktop.setDoubleClickTime(PointerSettings::doubleClickTimeForLevel(15)));
    QCOMPARE(g_settings_get_int(settings, "double-click"), 300);
    g_object_unref(settings);

    // A backend that takes the write and keeps nothing: a failure.
    GSettingsBackend *losing =
        static_cast<GSettingsBackend *>(g_object_new(losing_backend_get_type(), nullptr));
    desktop.setGnomeSchema("org.skarn.test.mouse", losing);
    QVERIFY(!desktop.setPointerSpeed(14));
    QVERIFY(!desktop.setDoubleClickTime(500));
    g_object_unref(losing);

    LinuxPointerSettings absent(LinuxPointerSettings::Desktop::Gnome);
    absent.setGnomeSchema("org.skarn.test.absent");
    QVERIFY(!absent.setPointerSpeed(10));
    QVERIFY(!absent.setDoubleClickTime(500));
}

void tst_PointerSettings::kdeSettingsAreReadBack()
{
    QDBusConnection service = QDBusConnection::connectToBus(m_busAddress, "fake-kwin");
    QVERIFY(service.isConnected());
    QThread thread;
    FakeKwinManager manager;
    FakeKwinDevice mouse(true, true), keyboard(false, true), stuck(true, false);
    manager.names = QStringList{"event3", "event4"};
    for (QObject *object : {static_cast<QObject *>(&manager), static_cast<QObject *>(&mouse),
                            static_cast<QObject *>(&keyboard), static_cast<QObject *>(&stuck)})
        object->moveToThread(&thread);
    thread.start();
    const auto exported = QDBusConnection::ExportAllProperties;
    QVERIFY(service.registerObject("/org/kde/KWin/InputDevice", &manager, exported));
    QVERIFY(service.registerObject("/org/kde/KWin/InputDevice/event3", &mouse, exported));
    QVERIFY(service.registerObject("/org/kde/KWin/InputDevice/event4", &keyboard, exported));
    QVERIFY(service.registerObject("/org/kde/KWin/InputDevice/event5", &stuck, exported));
    QVERIFY(service.registerService("org.kde.KWin"));

    // kdeglobals with other groups and keys that must stay as they were.
    QTemporaryDir config;
    const QString globals = config.filePath("kdeglobals");
    QCOMPARE(kdeGlobals(globals, "[General]\nColorScheme=Breeze\n\n[KDE]\nSingleClick=false\n"
                                 "DoubleClickInterval=400\n\n[WM]\nactiveFont=Noto Sans,10\n"),
             QString());

    LinuxPointerSettings desktop(LinuxPointerSettings::Desktop::Kde);
    desktop.setKdeSession(QDBusConnection::connectToBus(m_busAddress, "under-test"), globals);
    QVERIFY(desktop.setPointerSpeed(14));
    QCOMPARE(mouse.acceleration(), 0.4);
    QCOMPARE(keyboard.acceleration(), 0.0);
    QVERIFY(desktop.setDoubleClickTime(270));
    QCOMPARE(kdeGlobals(globals),
             QStringLiteral("[General]\nColorScheme=Breeze\n\n[KDE]\nSingleClick=false\n"
                            "DoubleClickInterval=270\n\n[WM]\nactiveFont=Noto Sans,10\n"));

    // A device that does not keep the value; no pointing device at all.
    manager.names = QStringList{"event3", "event5"};
    QVERIFY(!desktop.setPointerSpeed(6));
    manager.names = QStringList{"event4"};
    QVERIFY(!desktop.setPointerSpeed(6));

    // No [KDE] group yet, then no file at all: each gets one.
    QCOMPARE(kdeGlobals(globals, "[General]\nColorScheme=Breeze\n"), QString());
    QVERIFY(desktop.setDoubleClickTime(900));
    QCOMPARE(kdeGlobals(globals),
             QStringLiteral("[General]\nColorScheme=Breeze\n\n[KDE]\nDoubleClickInterval=900\n"));
    QVERIFY(QFile::remove(globals));
    QVERIFY(desktop.setDoubleClickTime(550));
    QCOMPARE(kdeGlobals(globals), QStringLiteral("[KDE]\nDoubleClickInterval=550\n"));

    // No session bus, or no KWin on it; a kdeglobals that cannot be written.
    LinuxPointerSettings busless(LinuxPointerSettings::Desktop::Kde);
    busless.setKdeSession(QDBusConnection(QString()), config.filePath("missing/kdeglobals"));
    QVERIFY(!busless.setPointerSpeed(10));
    QVERIFY(!busless.setDoubleClickTime(500));
    service.unregisterService("org.kde.KWin");
    QVERIFY(!desktop.setPointerSpeed(10));

    service.unregisterObject("/org/kde/KWin/InputDevice", QDBusConnection::UnregisterTree);
    thread.quit();
    thread.wait();
    QDBusConnection::disconnectFromBus("fake-kwin");
    QDBusConnection::disconnectFromBus("under-test");
}

// Sessions without a desktop of their own: the X server's acceleration, as
// `xset q` reads it back from the server.
void tst_PointerSettings::x11AccelerationIsReadBack()
{
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    QVERIFY2(!xvfb.isEmpty(), "Xvfb is missing (scripts/install-deps.sh installs it)");
    QVERIFY2(!QStandardPaths::findExecutable("xset").isEmpty(), "xset is missing");
    QProcess server;
    // As in a session, the server keeps its settings between clients.
    server.start(xvfb, {"-displayfd", "1", "-nolisten", "tcp", "-noreset"});
    QVERIFY(server.waitForStarted(5000));
    while (!server.canReadLine())
        QVERIFY2(server.waitForReadyRead(10000), "Xvfb did not report its display");
    const QByteArray display = ":" + server.readLine().trimmed();
    const QByteArray previous = qgetenv("DISPLAY");
    qputenv("DISPLAY", display);

    const auto xset = [] {
        QProcess query;
        query.start("xset", {"q"});
        query.waitForFinished(10000);
        return QString::fromLatin1(query.readAllStandardOutput()).simplified();
    };
    LinuxPointerSettings desktop(LinuxPointerSettings::Desktop::X11);
    QVERIFY(desktop.setPointerSpeed(14));
    QVERIFY2(xset().contains("acceleration: 14/10 threshold: 4"), qPrintable(xset()));
    QVERIFY(desktop.setPointerSpeed(1));
    QVERIFY2(xset().contains("acceleration: 1/10 threshold: 4"), qPrintable(xset()));
    QVERIFY(!desktop.setDoubleClickTime(500));

    server.terminate();
    server.waitForFinished(5000);
    QVERIFY(!desktop.setPointerSpeed(14));
    qunsetenv("DISPLAY");
    QVERIFY(!desktop.setPointerSpeed(14));
    if (!previous.isEmpty())
        qputenv("DISPLAY", previous);
}

QTEST_MAIN(tst_PointerSettings)
#include "tst_pointersettings.moc"
