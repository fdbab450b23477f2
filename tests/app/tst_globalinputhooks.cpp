#include "evdevscancodes.h"
#include "eventfilterinputhooks.h"
#include "globalinputhooks.h"
#include "x11inputhooks.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

namespace {
struct Event
{
    int code;
    bool down;
    int x = 0;
    int y = 0;
    bool operator==(const Event &other) const
    {
        return code == other.code && down == other.down && x == other.x && y == other.y;
    }
};

struct Recorder
{
    QList<Event> keys;
    QList<Event> buttons;
    QList<void *> contexts;
};

void recordKey(std::uint8_t usage, bool down, void *context)
{
    auto *recorder = static_cast<Recorder *>(context);
    recorder->keys.append({usage, down});
    recorder->contexts.append(context);
}

void recordButton(std::uint8_t button, bool down, int x, int y, void *context)
{
    auto *recorder = static_cast<Recorder *>(context);
    recorder->buttons.append({button, down, x, y});
    recorder->contexts.append(context);
}

// Installs and removes on request and remembers the order.
class FakeBackend : public InputHookBackend
{
public:
    explicit FakeBackend(QStringList *log, bool mouseFails = false)
        : m_log(log), m_mouseFails(mouseFails)
    {}
    const char *name() const override { return "fake"; }
    bool install(Hook hook, GlobalInputHooks &) override
    {
        m_log->append(QStringLiteral("install ") + (hook == Keyboard ? "keyboard" : "mouse"));
        return !(hook == Mouse && m_mouseFails);
    }
    void remove(Hook hook) override
    {
        m_log->append(QStringLiteral("remove ") + (hook == Keyboard ? "keyboard" : "mouse"));
    }

private:
    QStringList *m_log;
    bool m_mouseFails;
};
} // namespace

QT_BEGIN_NAMESPACE
namespace QTest {
template<> char *toString(const Event &event)
{
    return qstrdup(QByteArray::number(event.code, 16) + (event.down ? " down" : " up") + " at " +
                   QByteArray::number(event.x) + "," + QByteArray::number(event.y));
}
} // namespace QTest
QT_END_NAMESPACE

class tst_GlobalInputHooks : public QObject
{
    Q_OBJECT

private slots:
    void tablesHaveTheirSize();
    void translation_data();
    void translation();
    void repeatSuppression();
    void mouseTable_data();
    void mouseTable();
    void doubleClickBetweenClicksIsIgnored();
    void installAndRemoveOrder();
    void evdevCodes_data();
    void evdevCodes();
    void withoutXTheEventFilterIsChosen();
    void eventFilterTakesEachEventOnce();
    void eventFilterMouse();

private:
    static std::unique_ptr<GlobalInputHooks> makeHooks(Recorder *recorder);
    static void checkEvdev(GlobalInputHooks &hooks, Recorder &recorder, uint evdev, int usage);
};

std::unique_ptr<GlobalInputHooks> tst_GlobalInputHooks::makeHooks(Recorder *recorder)
{
    auto hooks = std::make_unique<GlobalInputHooks>(nullptr);
    hooks->setKeyboardCallback(recordKey, recorder);
    hooks->setMouseCallback(recordButton, recorder);
    return hooks;
}

// The X11 hooks turn evdev codes into scan codes for the same translation.
void tst_GlobalInputHooks::checkEvdev(GlobalInputHooks &hooks, Recorder &recorder, uint evdev,
                                      int usage)
{
    QList<Event> expected = recorder.keys;
    const EvdevScanCodes::ScanCode code = EvdevScanCodes::forEvdev(evdev);
    hooks.keyboardEvent(code.scan, code.extended ? GlobalInputHooks::Extended : 0u, true);
    if (usage)
        expected.append({usage, true});
    QCOMPARE(recorder.keys, expected);
}

void tst_GlobalInputHooks::tablesHaveTheirSize()
{
    GlobalInputHooks hooks(nullptr);
    QCOMPARE(hooks.scanToVirtualKey().size(), std::size_t(105));
    QCOMPARE(hooks.virtualKeyToUsage().size(), std::size_t(121));
    // Every virtual key the scan table gives has a usage.
    for (const auto &[scan, vk] : hooks.scanToVirtualKey())
        QVERIFY2(hooks.usageFor(vk) != 0, qPrintable(QString::number(scan, 16)));
}

void tst_GlobalInputHooks::translation_data()
{
    QTest::addColumn<uint>("scan");
    QTest::addColumn<uint>("flags");
    QTest::addColumn<int>("evdev"); // the same key's evdev code, -1: none
    QTest::addColumn<int>("usage"); // 0: no event

    const uint ext = GlobalInputHooks::Extended;
    const uint alt = GlobalInputHooks::AltDown;
    QTest::newRow("Enter") << 0x1Cu << 0u << 28 << 0x28;
    QTest::newRow("keypad Enter") << 0x1Cu << ext << 96 << 0x58;
    QTest::newRow("Pause") << 0x45u << 0u << 119 << 0x48;
    QTest::newRow("Num Lock") << 0x45u << ext << 69 << 0x53;
    QTest::newRow("Ctrl+Break") << 0x46u << ext << -1 << 0x48;
    QTest::newRow("Scroll Lock") << 0x46u << 0u << 70 << 0x47;
    QTest::newRow("Print Screen") << 0x37u << ext << 99 << 0x46;
    QTest::newRow("Alt+Print Screen") << 0x54u << alt << -1 << 0x46;
    QTest::newRow("scan 54 without Alt") << 0x54u << 0u << -1 << 0;
    QTest::newRow("keypad *") << 0x37u << 0u << 55 << 0x55;
    QTest::newRow("left Shift") << 0x2Au << 0u << 42 << 0xE1;
    QTest::newRow("right Shift") << 0x36u << ext << 54 << 0xE5;
    QTest::newRow("right Shift without flag") << 0x36u << 0u << -1 << 0;
    QTest::newRow("left Ctrl") << 0x1Du << 0u << -1 << 0xE0;
    QTest::newRow("right Ctrl") << 0x1Du << ext << 97 << 0xE4;
    QTest::newRow("right Alt") << 0x38u << ext << 100 << 0xE6;
    QTest::newRow("left Windows") << 0x5Bu << ext << 125 << 0xE3;
    QTest::newRow("right Windows") << 0x5Cu << ext << 126 << 0;
    QTest::newRow("Menu") << 0x5Du << ext << 127 << 0x65;
    QTest::newRow("A") << 0x1Eu << 0u << 30 << 0x04;
    QTest::newRow("Z") << 0x2Cu << 0u << -1 << 0x1D;
    QTest::newRow("1") << 0x02u << 0u << -1 << 0x1E;
    QTest::newRow("0") << 0x0Bu << 0u << -1 << 0x27;
    QTest::newRow("Escape") << 0x01u << 0u << 1 << 0x29;
    QTest::newRow("grave") << 0x29u << 0u << -1 << 0x35;
    QTest::newRow("102nd key") << 0x56u << 0u << 86 << 0x64;
    QTest::newRow("F1") << 0x3Bu << 0u << -1 << 0x3A;
    QTest::newRow("F11") << 0x57u << 0u << 87 << 0x44;
    QTest::newRow("F12") << 0x58u << 0u << 88 << 0x45;
    QTest::newRow("F23") << 0x6Eu << 0u << 193 << 0x72;
    QTest::newRow("keypad 0") << 0x52u << 0u << -1 << 0x62;
    QTest::newRow("Insert") << 0x52u << ext << -1 << 0x49;
    QTest::newRow("keypad 8") << 0x48u << 0u << -1 << 0x60;
    QTest::newRow("Up") << 0x48u << ext << -1 << 0x52;
    QTest::newRow("keypad .") << 0x53u << 0u << -1 << 0x63;
    QTest::newRow("Delete") << 0x53u << ext << 111 << 0x4C;
    QTest::newRow("slash") << 0x35u << 0u << -1 << 0x38;
    QTest::newRow("keypad /") << 0x35u << ext << 98 << 0x54;
    QTest::newRow("keypad -") << 0x4Au << 0u << -1 << 0x56;
    QTest::newRow("keypad +") << 0x4Eu << 0u << -1 << 0x57;
    QTest::newRow("unknown scan") << 0x7Fu << 0u << -1 << 0;
    QTest::newRow("scan above 255 reads as 0") << 0x11Eu << 0u << -1 << 0;
}

void tst_GlobalInputHooks::translation()
{
    QFETCH(uint, scan);
    QFETCH(uint, flags);
    QFETCH(int, evdev);
    QFETCH(int, usage);

    Recorder recorder;
    auto hooks = makeHooks(&recorder);
    hooks->keyboardEvent(scan, flags, true);
    hooks->keyboardEvent(scan, flags, false);
    QList<Event> expected;
    if (usage)
        expected = {{usage, true}, {usage, false}};
    QCOMPARE(recorder.keys, expected);
    QCOMPARE(recorder.contexts, QList<void *>(expected.size(), &recorder));
    if (evdev >= 0)
        checkEvdev(*hooks, recorder, uint(evdev), usage);
}

void tst_GlobalInputHooks::repeatSuppression()
{
    Recorder recorder;
    GlobalInputHooks hooks(nullptr);
    hooks.keyboardEvent(0x1E, 0, true); // A, before any callback
    QVERIFY(hooks.isKeyDown(0x04));
    hooks.setKeyboardCallback(recordKey, &recorder);
    for (int i = 0; i < 5; ++i)
        hooks.keyboardEvent(0x1E, 0, true); // repeating
    hooks.keyboardEvent(0x1E, 0, false);
    QVERIFY(!hooks.isKeyDown(0x04));
    hooks.keyboardEvent(0x1E, 0, true);
    hooks.keyboardEvent(0x1C, GlobalInputHooks::Extended, false);
    hooks.keyboardEvent(0x1C, 0, true);
    hooks.keyboardEvent(0x1C, GlobalInputHooks::Extended, false);
    QCOMPARE(recorder.keys, (QList<Event>{{0x04, false}, {0x04, true}, {0x28, true}}));
}

void tst_GlobalInputHooks::mouseTable_data()
{
    QTest::addColumn<uint>("press");
    QTest::addColumn<uint>("x11Button");
    QTest::addColumn<int>("code");
    QTest::newRow("left") << 0x201u << 1u << 0xF0;
    QTest::newRow("right") << 0x204u << 3u << 0xF1;
    QTest::newRow("middle") << 0x207u << 2u << 0xF2;
}

// The release message follows the press message; the X11 hooks make the
// same messages from X button numbers.
void tst_GlobalInputHooks::mouseTable()
{
    QFETCH(uint, press);
    QFETCH(uint, x11Button);
    QFETCH(int, code);
    Recorder recorder;
    auto hooks = makeHooks(&recorder);
    QCOMPARE(X11InputHooks::buttonMessage(x11Button, true), press);
    QCOMPARE(X11InputHooks::buttonMessage(x11Button, false), press + 1);
    hooks->mouseMessage(press, 12, -34);
    hooks->mouseMessage(press + 1, 12, -34);
    QCOMPARE(recorder.buttons, (QList<Event>{{code, true, 12, -34}, {code, false, 12, -34}}));
    QCOMPARE(recorder.contexts, (QList<void *>{&recorder, &recorder}));
}

// Moves, wheels, side buttons and double clicks are ignored, also between
// clicks, and so are X's wheel and side buttons; buttons have no repeat
// suppression.
void tst_GlobalInputHooks::doubleClickBetweenClicksIsIgnored()
{
    Recorder recorder;
    auto hooks = makeHooks(&recorder);
    for (uint message : {0x200u, 0x203u, 0x206u, 0x209u, 0x20Au, 0x20Bu, 0x20Cu, 0x20Eu})
        hooks->mouseMessage(message, 1, 2);
    for (uint button : {4u, 5u, 6u, 8u, 9u}) {
        for (bool down : {true, false}) {
            if (const std::uint32_t message = X11InputHooks::buttonMessage(button, down))
                hooks->mouseMessage(message, 1, 2);
        }
    }
    QVERIFY(recorder.buttons.isEmpty());
    for (uint message : {0x201u, 0x202u, 0x203u, 0x202u, 0x201u, 0x201u})
        hooks->mouseMessage(message, 1, 2);
    QCOMPARE(recorder.buttons, (QList<Event>{{0xF0, true, 1, 2},
                                             {0xF0, false, 1, 2},
                                             {0xF0, false, 1, 2},
                                             {0xF0, true, 1, 2},
                                             {0xF0, true, 1, 2}}));
}

// Nothing is hooked until a capture starts; both hooks or neither; removal
// takes the keyboard first and happens once.
void tst_GlobalInputHooks::installAndRemoveOrder()
{
    QStringList log;
    {
        GlobalInputHooks failing(std::make_unique<FakeBackend>(&log, true));
        QVERIFY(log.isEmpty());
        failing.setCaptureActive(true);
        QVERIFY(!failing.isInstalled());
        failing.removeHooks();
    }
    QCOMPARE(log, (QStringList{"install keyboard", "install mouse", "remove keyboard"}));
    log.clear();
    Recorder recorder;
    {
        GlobalInputHooks hooks(std::make_unique<FakeBackend>(&log));
        hooks.setKeyboardCallback(recordKey, &recorder);
        QVERIFY(!hooks.isInstalled());
        QCOMPARE(hooks.backendName(), "fake");
        hooks.setCaptureActive(true);
        hooks.setCaptureActive(true);
        QVERIFY(hooks.isInstalled());
        // A key still held when the capture ends is pressed afresh in the next.
        hooks.keyboardEvent(0x1E, 0, true);
        hooks.setCaptureActive(false);
        QVERIFY(!hooks.isInstalled());
        hooks.setCaptureActive(false);
        hooks.setCaptureActive(true);
        hooks.keyboardEvent(0x1E, 0, true);
    }
    QCOMPARE(log,
             (QStringList{"install keyboard", "install mouse", "remove keyboard", "remove mouse",
                          "install keyboard", "install mouse", "remove keyboard", "remove mouse"}));
    QCOMPARE(recorder.keys, (QList<Event>{{0x04, true}, {0x04, true}}));
}

void tst_GlobalInputHooks::evdevCodes_data()
{
    QTest::addColumn<uint>("evdev");
    QTest::addColumn<int>("usage");

    QTest::newRow("keypad 7") << 71u << 0x5F;
    QTest::newRow("Home") << 102u << 0x4A;
    QTest::newRow("Down") << 108u << 0x51;
    QTest::newRow("F10") << 68u << 0x43;
    QTest::newRow("F13 has no entry") << 183u << 0;
    QTest::newRow("Mute") << 113u << 0;
    QTest::newRow("reserved") << 0u << 0;
    QTest::newRow("between blocks") << 84u << 0;
    QTest::newRow("out of range") << 400u << 0;
}

void tst_GlobalInputHooks::evdevCodes()
{
    QFETCH(uint, evdev);
    QFETCH(int, usage);

    Recorder recorder;
    auto hooks = makeHooks(&recorder);
    checkEvdev(*hooks, recorder, evdev, usage);
}

void tst_GlobalInputHooks::withoutXTheEventFilterIsChosen()
{
    const bool hadDisplay = qEnvironmentVariableIsSet("DISPLAY");
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":65431"); // no server there
    const std::unique_ptr<InputHookBackend> backend = makePlatformInputHookBackend();
    if (hadDisplay)
        qputenv("DISPLAY", display);
    else
        qunsetenv("DISPLAY");
    QVERIFY(backend);
    QCOMPARE(backend->name(), "event filter");
}

void tst_GlobalInputHooks::eventFilterTakesEachEventOnce()
{
    Recorder recorder;
    GlobalInputHooks hooks(std::make_unique<EventFilterInputHooks>());
    hooks.setCaptureActive(true);
    QVERIFY(hooks.isInstalled());
    hooks.setKeyboardCallback(recordKey, &recorder);
    QWindow window;
    QObject notAWindow;

    // Native scan codes are X keycodes: evdev + 8.
    auto send = [](QObject *target, QEvent::Type type, quint32 nativeScanCode, bool spontaneous,
                   bool autoRepeat = false) {
        QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, nativeScanCode, 0, 0, QString(),
                        autoRepeat);
        if (spontaneous)
            QSpontaneKeyEvent::setSpontaneous(&event);
        QCoreApplication::instance()->notify(target, &event);
    };
    send(&window, QEvent::KeyPress, 96 + 8, true);         // keypad Enter
    send(&notAWindow, QEvent::KeyPress, 28 + 8, true);     // passed on to a widget
    send(&window, QEvent::KeyPress, 28 + 8, false);        // passed on to the scene
    send(&window, QEvent::KeyRelease, 96 + 8, true, true); // auto-repeat
    send(&window, QEvent::KeyPress, 96 + 8, true, true);
    send(&window, QEvent::KeyRelease, 96 + 8, true);
    send(&window, QEvent::KeyPress, 0, true); // no native code
    QCOMPARE(recorder.keys, (QList<Event>{{0x58, true}, {0x58, false}}));

    hooks.setCaptureActive(false);
    send(&window, QEvent::KeyPress, 30 + 8, true);
    QCOMPARE(recorder.keys.size(), 2);
}

void tst_GlobalInputHooks::eventFilterMouse()
{
    Recorder recorder;
    GlobalInputHooks hooks(std::make_unique<EventFilterInputHooks>());
    hooks.setCaptureActive(true);
    hooks.setMouseCallback(recordButton, &recorder);
    QWindow window;

    auto send = [&window](QEvent::Type type, Qt::MouseButton button) {
        QMouseEvent event(type, QPointF(1, 1), QPointF(1, 1), QPointF(300, 400), button, button,
                          Qt::NoModifier);
        QSpontaneKeyEvent::setSpontaneous(&event);
        QCoreApplication::instance()->notify(&window, &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::LeftButton);
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::LeftButton);
    send(QEvent::MouseButtonPress, Qt::RightButton);
    send(QEvent::MouseButtonDblClick, Qt::MiddleButton);
    send(QEvent::MouseButtonRelease, Qt::MiddleButton);
    send(QEvent::MouseButtonPress, Qt::BackButton);
    QCOMPARE(recorder.buttons, (QList<Event>{{0xF0, true, 300, 400},
                                             {0xF0, false, 300, 400},
                                             {0xF0, true, 300, 400},
                                             {0xF0, false, 300, 400},
                                             {0xF1, true, 300, 400},
                                             {0xF2, false, 300, 400}}));
}

QTEST_MAIN(tst_GlobalInputHooks)
#include "tst_globalinputhooks.moc"
