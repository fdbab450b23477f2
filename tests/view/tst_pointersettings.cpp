#include "myqquickview.h"
#include "pointersettings_linux.h"
#include "testdatafolder.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#undef signals
#include <gio/gio.h>

namespace {
struct Recorded
{
    QList<int> speeds;
    QList<int> doubleClickTimes;
    QList<unsigned> scrollLines;
    bool accept = true;
};

class RecordingPointerSettings : public PointerSettings
{
public:
    explicit RecordingPointerSettings(Recorded *record) : m_record(record) {}
    bool setPointerSpeed(int speed) override
    {
        m_record->speeds.append(speed);
        return m_record->accept;
    }
    bool setDoubleClickTime(int milliseconds) override
    {
        m_record->doubleClickTimes.append(milliseconds);
        return m_record->accept;
    }
    bool setWheelScrollLines(unsigned lines) override
    {
        m_record->scrollLines.append(lines);
        return m_record->accept;
    }

private:
    Recorded *m_record;
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
    void levelsMapToDesktopValues_data();
    void levelsMapToDesktopValues();
    void failuresWriteTheirDebugLine();
    void gnomeSettingsTakeTheValues();
    void outOfRangeValuesAreRefused();
    void withoutSchemaOrDisplayNothingIsTaken();
    void theGnomeSchemaTakesTheSlidersLevels_data();
    void theGnomeSchemaTakesTheSlidersLevels();

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

void tst_PointerSettings::levelsMapToDesktopValues_data()
{
    QTest::addColumn<uint>("level");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("doubleClick");
    QTest::newRow("0") << 0u << 1 << 900;
    QTest::newRow("1") << 1u << 2 << 830;
    QTest::newRow("5") << 5u << 10 << 550;
    QTest::newRow("10") << 10u << 20 << 200;
}

void tst_PointerSettings::levelsMapToDesktopValues()
{
    QFETCH(uint, level);
    QFETCH(int, speed);
    QFETCH(int, doubleClick);

    TestDataFolder folder;
    Recorded record;
    myQQuickView view;
    view.setPointerSettings(std::make_unique<RecordingPointerSettings>(&record));
    view.mouseSetCursorSpeed(level);
    view.mouseSetDoubleClickSpeed(level);
    view.mouseSetVerticalScrollLines(level == 10 ? 1000 : level);
    QCOMPARE(record.speeds, QList<int>{speed});
    QCOMPARE(record.doubleClickTimes, QList<int>{doubleClick});
    QCOMPARE(record.scrollLines, QList<unsigned>{level == 10 ? 1000u : level});
}

void tst_PointerSettings::failuresWriteTheirDebugLine()
{
    TestDataFolder folder;
    Recorded record;
    record.accept = false;
    myQQuickView view;
    view.setPointerSettings(std::make_unique<RecordingPointerSettings>(&record));
    QTest::ignoreMessage(QtDebugMsg, "setCursorSpeed Failed");
    view.mouseSetCursorSpeed(3);
    QTest::ignoreMessage(QtDebugMsg, "setDoubleClickSpeed Failed");
    view.mouseSetDoubleClickSpeed(3);
    QTest::ignoreMessage(QtDebugMsg, "setVerticalScrollLines Failed");
    view.mouseSetVerticalScrollLines(3);
    // The stored slider positions are the scene's; nothing is written here.
    QVERIFY(!view.getData("mouse/mouseRate", false).toString().isEmpty());
    QCOMPARE(view.getData("mouse/mouseRate", false), view.getData("mouse/mouseRate", true));
}

void tst_PointerSettings::gnomeSettingsTakeTheValues()
{
    LinuxPointerSettings desktop("org.skarn.test.mouse");
    GSettings *settings = g_settings_new("org.skarn.test.mouse");

    QVERIFY(desktop.setPointerSpeed(20));
    QCOMPARE(g_settings_get_double(settings, "speed"), 1.0);
    QVERIFY(desktop.setPointerSpeed(1));
    QCOMPARE(g_settings_get_double(settings, "speed"), -0.9);
    QVERIFY(desktop.setPointerSpeed(10));
    QCOMPARE(g_settings_get_double(settings, "speed"), 0.0);

    QVERIFY(desktop.setDoubleClickTime(550));
    QCOMPARE(g_settings_get_int(settings, "double-click"), 550);
    // No desktop-wide scroll amount on this desktop.
    QVERIFY(!desktop.setWheelScrollLines(3));
    g_object_unref(settings);
}

void tst_PointerSettings::outOfRangeValuesAreRefused()
{
    LinuxPointerSettings desktop("org.skarn.test.mouse");
    GSettings *settings = g_settings_new("org.skarn.test.mouse");
    QVERIFY(desktop.setDoubleClickTime(300));
    // A level beyond the slider's end gives a negative time: refused, and
    // the desktop keeps what it had.
    QVERIFY(!desktop.setDoubleClickTime(PointerSettings::doubleClickTimeForLevel(15)));
    QCOMPARE(g_settings_get_int(settings, "double-click"), 300);
    QCOMPARE(LinuxPointerSettings::gnomeSpeed(40), 1.0);
    QCOMPARE(LinuxPointerSettings::gnomeSpeed(-5), -1.0);
    g_object_unref(settings);
}

void tst_PointerSettings::withoutSchemaOrDisplayNothingIsTaken()
{
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    LinuxPointerSettings desktop("org.skarn.test.absent");
    QVERIFY(!desktop.setPointerSpeed(10));
    QVERIFY(!desktop.setDoubleClickTime(500));
    if (!display.isEmpty())
        qputenv("DISPLAY", display);
}

void tst_PointerSettings::theGnomeSchemaTakesTheSlidersLevels_data()
{
    QTest::addColumn<uint>("level");
    QTest::addColumn<double>("speed");
    QTest::addColumn<int>("doubleClick");
    QTest::newRow("0") << 0u << -0.9 << 900;
    QTest::newRow("5") << 5u << 0.0 << 550;
    QTest::newRow("7") << 7u << 0.4 << 410;
    QTest::newRow("10") << 10u << 1.0 << 200;
}

void tst_PointerSettings::theGnomeSchemaTakesTheSlidersLevels()
{
    QFETCH(uint, level);
    QFETCH(double, speed);
    QFETCH(int, doubleClick);

    // GNOME's own schema, installed by the dependency script; the memory
    // backend keeps the writes inside this process.
    const char *schemaId = "org.gnome.desktop.peripherals.mouse";
    GSettingsSchema *schema =
        g_settings_schema_source_lookup(g_settings_schema_source_get_default(), schemaId, TRUE);
    QVERIFY2(schema, "gsettings-desktop-schemas is not installed");
    g_settings_schema_unref(schema);

    TestDataFolder folder;
    myQQuickView view;
    view.setPointerSettings(std::make_unique<LinuxPointerSettings>());
    view.mouseSetCursorSpeed(level);
    view.mouseSetDoubleClickSpeed(level);

    GSettings *settings = g_settings_new(schemaId);
    QVERIFY(qAbs(g_settings_get_double(settings, "speed") - speed) < 1e-9);
    QCOMPARE(g_settings_get_int(settings, "double-click"), doubleClick);
    g_object_unref(settings);
}

QTEST_MAIN(tst_PointerSettings)
#include "tst_pointersettings.moc"
