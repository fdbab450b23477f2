#include "myqquickview.h"
#include "pointersettings_linux.h"
#include "testdatafolder.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#undef signals
#include <gio/gio.h>

namespace {
// Notes every value handed to the desktop as "<setting> <value>".
class RecordingPointerSettings : public PointerSettings
{
public:
    RecordingPointerSettings(QStringList *log, bool accept) : m_log(log), m_accept(accept) {}
    bool setPointerSpeed(int speed) override { return note("speed", speed); }
    bool setDoubleClickTime(int milliseconds) override { return note("double", milliseconds); }
    bool setWheelScrollLines(unsigned lines) override { return note("lines", lines); }

private:
    bool note(const char *setting, qint64 value)
    {
        m_log->append(QStringLiteral("%1 %2").arg(setting).arg(value));
        return m_accept;
    }
    QStringList *m_log;
    bool m_accept;
};

const char *testSchema = R"(<schemalist>
  <schema id="org.skarn.test.mouse" path="/org/skarn/test/mouse/">
    <key name="speed" type="d"><default>0</default><range min="-1" max="1"/></key>
    <key name="double-click" type="i"><default>400</default><range min="100" max="1000"/></key>
  </schema>
</schemalist>
)";
} // namespace

class tst_PointerSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void levelsReachTheDesktop_data();
    void levelsReachTheDesktop();
    void failuresAreReported();
    void gnomeSettingsTakeOnlyValidValues();

private:
    QTemporaryDir m_schemas;
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
    view.setPointerSettings(std::make_unique<RecordingPointerSettings>(&log, true));
    view.mouseSetCursorSpeed(level);
    view.mouseSetDoubleClickSpeed(level);
    view.mouseSetVerticalScrollLines(level * 100);
    QCOMPARE(log, (QStringList{QStringLiteral("speed %1").arg(speed),
                               QStringLiteral("double %1").arg(doubleClick),
                               QStringLiteral("lines %1").arg(level * 100)}));

    // GNOME's own schema, installed by the dependency script; the memory
    // backend keeps the writes inside this process.
    const char *schemaId = "org.gnome.desktop.peripherals.mouse";
    GSettingsSchema *schema =
        g_settings_schema_source_lookup(g_settings_schema_source_get_default(), schemaId, TRUE);
    QVERIFY2(schema, "gsettings-desktop-schemas is not installed");
    g_settings_schema_unref(schema);
    view.setPointerSettings(std::make_unique<LinuxPointerSettings>());
    view.mouseSetCursorSpeed(level);
    view.mouseSetDoubleClickSpeed(level);
    GSettings *settings = g_settings_new(schemaId);
    QVERIFY(qAbs(g_settings_get_double(settings, "speed") - gnomeSpeed) < 1e-9);
    QCOMPARE(g_settings_get_int(settings, "double-click"), doubleClick);
    g_object_unref(settings);
}

// A value the desktop did not take writes its debug line and, for the
// pointer speed and the double-click time, tells the user in their language.
void tst_PointerSettings::failuresAreReported()
{
    TestDataFolder folder;
    QStringList log;
    myQQuickView view;
    view.setGlobalData("common/language", "ChineseSimplified");
    QSignalSpy notices(&view, &myQQuickView::userNotice);
    view.setPointerSettings(std::make_unique<RecordingPointerSettings>(&log, false));
    QTest::ignoreMessage(QtDebugMsg, "setCursorSpeed Failed");
    view.mouseSetCursorSpeed(3);
    QTest::ignoreMessage(QtDebugMsg, "setDoubleClickSpeed Failed");
    view.mouseSetDoubleClickSpeed(3);
    QTest::ignoreMessage(QtDebugMsg, "setVerticalScrollLines Failed");
    view.mouseSetVerticalScrollLines(3);
    QCOMPARE(log.size(), 3);
    QCOMPARE(notices.size(), 2);
    QCOMPARE(notices.at(0).at(0).toString(), QStringLiteral("桌面未接受指针速度。"));
    QCOMPARE(notices.at(1).at(0).toString(), QStringLiteral("桌面未接受双击速度。"));

    view.setPointerSettings(std::make_unique<RecordingPointerSettings>(&log, true));
    view.mouseSetCursorSpeed(3);
    view.mouseSetDoubleClickSpeed(3);
    QCOMPARE(notices.size(), 2);
    // The stored slider positions are the scene's; nothing is written here.
    QVERIFY(!view.getData("mouse/mouseRate", false).toString().isEmpty());
    QCOMPARE(view.getData("mouse/mouseRate", false), view.getData("mouse/mouseRate", true));
}

void tst_PointerSettings::gnomeSettingsTakeOnlyValidValues()
{
    LinuxPointerSettings desktop("org.skarn.test.mouse");
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
    // No desktop-wide scroll amount on this desktop.
    QVERIFY(!desktop.setWheelScrollLines(3));
    g_object_unref(settings);

    // Without the schema, and without a display to fall back on.
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    LinuxPointerSettings absent("org.skarn.test.absent");
    QVERIFY(!absent.setPointerSpeed(10));
    QVERIFY(!absent.setDoubleClickTime(500));
    if (!display.isEmpty())
        qputenv("DISPLAY", display);
}

QTEST_MAIN(tst_PointerSettings)
#include "tst_pointersettings.moc"
