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
    void heldKeyReportsOnePressAndOneRelease();
    void releaseWithoutPressReportsNothing();
    void eventsWithoutCallbackStillTrackTheKey();
    void mouseTable_data();
    void mouseTable();
    void doubleClickBetweenClicksIsIgnored();
    void installsBothOrNeither();
    void removesKeyboardFirst();
    void evdevCodes_data();
    void evdevCodes();
    void x11Buttons_data();
    void x11Buttons();
    void withoutXTheEventFilterIsChosen();
    void eventFilterTakesEachEventOnce();
    void eventFilterMouse();

private:
    static std::unique_ptr<GlobalInputHooks> makeHooks(Recorder *recorder);
};

std::unique_ptr<GlobalInputHooks> tst_GlobalInputHooks::makeHooks(Recorder *recorder)
{
    auto hooks = std::make_unique<GlobalInputHooks>(nullptr);
    hooks->setKeyboardCallback(recordKey, recorder);
    hooks->setMouseCallback(recordButton, recorder);
    return hooks;
}

void tst_GlobalInputHooks::tablesHaveTheirSize()
{
    GlobalInputHooks hooks(nullptr);
    QCOMPARE(hooks.scanToVirtualKey().size(), std::size_t(105));
    QCOMPARE(hooks.virtualKeyToUsage().size(), std::size_t(121));
    QCOMPARE(GlobalInputHooks::instance(), &hooks);
    // Every virtual key the scan table gives has a usage.
    for (const auto &[scan, vk] : hooks.scanToVirtualKey())
        QVERIFY2(hooks.usageFor(vk) != 0, qPrintable(QString::number(scan, 16)));
}

void tst_GlobalInputHooks::translation_data()
{
    QTest::addColumn<uint>("scan");
    QTest::addColumn<uint>("flags");
    QTest::addColumn<int>("usage"); // 0: no event

    const uint ext = GlobalInputHooks::Extended;
    const uint alt = GlobalInputHooks::AltDown;
    QTest::newRow("Enter") << 0x1Cu << 0u << 0x28;
    QTest::newRow("keypad Enter") << 0x1Cu << ext << 0x58;
    QTest::newRow("Pause") << 0x45u << 0u << 0x48;
    QTest::newRow("Num Lock") << 0x45u << ext << 0x53;
    QTest::newRow("Ctrl+Break") << 0x46u << ext << 0x48;
    QTest::newRow("Scroll Lock") << 0x46u << 0u << 0x47;
    QTest::newRow("Print Screen") << 0x37u << ext << 0x46;
    QTest::newRow("Alt+Print Screen") << 0x54u << alt << 0x46;
    QTest::newRow("scan 54 without Alt") << 0x54u << 0u << 0;
    QTest::newRow("keypad *") << 0x37u << 0u << 0x55;
    QTest::newRow("left Shift") << 0x2Au << 0u << 0xE1;
    QTest::newRow("right Shift") << 0x36u << ext << 0xE5;
    QTest::newRow("right Shift without flag") << 0x36u << 0u << 0;
    QTest::newRow("left Ctrl") << 0x1Du << 0u << 0xE0;
    QTest::newRow("right Ctrl") << 0x1Du << ext << 0xE4;
    QTest::newRow("right Alt") << 0x38u << ext << 0xE6;
    QTest::newRow("left Windows") << 0x5Bu << ext << 0xE3;
    QTest::newRow("right Windows") << 0x5Cu << ext << 0;
    QTest::newRow("Menu") << 0x5Du << ext << 0x65;
    QTest::newRow("A") << 0x1Eu << 0u << 0x04;
    QTest::newRow("Z") << 0x2Cu << 0u << 0x1D;
    QTest::newRow("1") << 0x02u << 0u << 0x1E;
    QTest::newRow("0") << 0x0Bu << 0u << 0x27;
    QTest::newRow("Escape") << 0x01u << 0u << 0x29;
    QTest::newRow("grave") << 0x29u << 0u << 0x35;
    QTest::newRow("102nd key") << 0x56u << 0u << 0x64;
    QTest::newRow("F1") << 0x3Bu << 0u << 0x3A;
    QTest::newRow("F11") << 0x57u << 0u << 0x44;
    QTest::newRow("F12") << 0x58u << 0u << 0x45;
    QTest::newRow("F23") << 0x6Eu << 0u << 0x72;
    QTest::newRow("keypad 0") << 0x52u << 0u << 0x62;
    QTest::newRow("Insert") << 0x52u << ext << 0x49;
    QTest::newRow("keypad 8") << 0x48u << 0u << 0x60;
    QTest::newRow("Up") << 0x48u << ext << 0x52;
    QTest::newRow("keypad .") << 0x53u << 0u << 0x63;
    QTest::newRow("Delete") << 0x53u << ext << 0x4C;
    QTest::newRow("slash") << 0x35u << 0u << 0x38;
    QTest::newRow("keypad /") << 0x35u << ext << 0x54;
    QTest::newRow("keypad -") << 0x4Au << 0u << 0x56;
    QTest::newRow("keypad +") << 0x4Eu << 0u << 0x57;
    QTest::newRow("unknown scan") << 0x7Fu << 0u << 0;
    QTest::newRow("scan above 255 reads as 0") << 0x11Eu << 0u << 0;
}

void tst_GlobalInputHooks::translation()
{
    QFETCH(uint, scan);
    QFETCH(uint, flags);
    QFETCH(int, usage);

    Recorder recorder;
    auto hooks = makeHooks(&recorder);
    hooks->keyboardEvent(scan, flags, true);
    hooks->keyboardEvent(scan, flags, false);
    if (usage == 0) {
        QVERIFY(recorder.keys.isEmpty());
        return;
    }
    QCOMPARE(recorder.keys, (QList<Event>{{usage, true}, {usage, false}}));
    QCOMPARE(recorder.contexts, (QList<void *>{&recorder, &recorder}));
}

void tst_GlobalInputHooks::heldKeyReportsOnePressAndOneRelease()
{
    Recorder recorder;
    auto hooks = makeHooks(&recorder);
    for (int i = 0; i < 5; ++i)
        hooks->keyboardEvent(0x1E, 0, true); // A, repeating
    hooks->keyboardEvent(0x1E, 0, false);
    hooks->keyboardEvent(0x1E, 0, true);
    QCOMPARE(recorder.keys, (QList<Event>{{0x04, true}, {0x04, false}, {0x04, true}}));
}

void tst_GlobalInputHooks::releaseWithoutPressReportsNothing()
{
    Recorder recorder;
    auto hooks = makeHooks(&recorder);
    hooks->keyboardEvent(0x1C, GlobalInputHooks::Extended, false);
    hooks->keyboardEvent(0x1C, GlobalInputHooks::Extended, false);
    QVERIFY(recorder.keys.isEmpty());
    // The keypad and the main Enter are separate keys.
    hooks->keyboardEvent(0x1C, 0, true);
    hooks->keyboardEvent(0x1C, GlobalInputHooks::Extended, false);
    QCOMPARE(recorder.keys, (QList<Event>{{0x28, true}}));
}

void tst_GlobalInputHooks::eventsWithoutCallbackStillTrackTheKey()
{
    Recorder recorder;
    GlobalInputHooks hooks(nullptr);
    hooks.keyboardEvent(0x1E, 0, true);
    QVERIFY(hooks.isKeyDown(0x04));
    hooks.setKeyboardCallback(recordKey, &recorder);
    hooks.keyboardEvent(0x1E, 0, true);
    hooks.keyboardEvent(0x1E, 0, false);
    QCOMPARE(recorder.keys, (QList<Event>{{0x04, false}}));
    QVERIFY(!hooks.isKeyDown(0x04));
}

void tst_GlobalInputHooks::mouseTable_data()
{
    QTest::addColumn<uint>("message");
    QTest::addColumn<int>("code"); // 0: ignored
    QTest::addColumn<bool>("down");

    QTest::newRow("move") << 0x200u << 0 << false;
    QTest::newRow("left down") << 0x201u << 0xF0 << true;
    QTest::newRow("left up") << 0x202u << 0xF0 << false;
    QTest::newRow("left double click") << 0x203u << 0 << false;
    QTest::newRow("right down") << 0x204u << 0xF1 << true;
    QTest::newRow("right up") << 0x205u << 0xF1 << false;
    QTest::newRow("right double click") << 0x206u << 0 << false;
    QTest::newRow("middle down") << 0x207u << 0xF2 << true;
    QTest::newRow("middle up") << 0x208u << 0xF2 << false;
    QTest::newRow("middle double click") << 0x209u << 0 << false;
    QTest::newRow("wheel") << 0x20Au << 0 << false;
    QTest::newRow("side button down") << 0x20Bu << 0 << false;
    QTest::newRow("side button up") << 0x20Cu << 0 << false;
    QTest::newRow("horizontal wheel") << 0x20Eu << 0 << false;
}

void tst_GlobalInputHooks::mouseTable()
{
    QFETCH(uint, message);
    QFETCH(int, code);
    QFETCH(bool, down);

    Recorder recorder;
    auto hooks = makeHooks(&recorder);
    hooks->mouseMessage(message, 12, -34);
    if (code == 0) {
        QVERIFY(recorder.buttons.isEmpty());
        return;
    }
    QCOMPARE(recorder.buttons, (QList<Event>{{code, down, 12, -34}}));
    QCOMPARE(recorder.contexts, (QList<void *>{&recorder}));
}

void tst_GlobalInputHooks::doubleClickBetweenClicksIsIgnored()
{
    Recorder recorder;
    auto hooks = makeHooks(&recorder);
    for (uint message : {0x201u, 0x202u, 0x203u, 0x202u, 0x201u, 0x201u})
        hooks->mouseMessage(message, 1, 2);
    // No repeat suppression for buttons.
    QCOMPARE(recorder.buttons, (QList<Event>{{0xF0, true, 1, 2},
                                             {0xF0, false, 1, 2},
                                             {0xF0, false, 1, 2},
                                             {0xF0, true, 1, 2},
                                             {0xF0, true, 1, 2}}));
}

void tst_GlobalInputHooks::installsBothOrNeither()
{
    QStringList log;
    {
        GlobalInputHooks hooks(std::make_unique<FakeBackend>(&log, true));
        QVERIFY(!hooks.isInstalled());
        QCOMPARE(log, (QStringList{"install keyboard", "install mouse", "remove keyboard"}));
        log.clear();
        hooks.removeHooks();
        QVERIFY(log.isEmpty());
    }
    QVERIFY(log.isEmpty());
    QCOMPARE(GlobalInputHooks::instance(), nullptr);
}

void tst_GlobalInputHooks::removesKeyboardFirst()
{
    QStringList log;
    {
        GlobalInputHooks hooks(std::make_unique<FakeBackend>(&log));
        QVERIFY(hooks.isInstalled());
        QCOMPARE(hooks.backendName(), "fake");
        QCOMPARE(log, (QStringList{"install keyboard", "install mouse"}));
        log.clear();
        hooks.removeHooks();
        QVERIFY(!hooks.isInstalled());
        QCOMPARE(log, (QStringList{"remove keyboard", "remove mouse"}));
        log.clear();
    }
    QVERIFY(log.isEmpty()); // nothing removed twice
}

void tst_GlobalInputHooks::evdevCodes_data()
{
    QTest::addColumn<uint>("evdev");
    QTest::addColumn<int>("usage");

    QTest::newRow("Escape") << 1u << 0x29;
    QTest::newRow("A") << 30u << 0x04;
    QTest::newRow("Enter") << 28u << 0x28;
    QTest::newRow("keypad Enter") << 96u << 0x58;
    QTest::newRow("left Shift") << 42u << 0xE1;
    QTest::newRow("right Shift") << 54u << 0xE5;
    QTest::newRow("right Ctrl") << 97u << 0xE4;
    QTest::newRow("right Alt") << 100u << 0xE6;
    QTest::newRow("Num Lock") << 69u << 0x53;
    QTest::newRow("Pause") << 119u << 0x48;
    QTest::newRow("Scroll Lock") << 70u << 0x47;
    QTest::newRow("Print Screen") << 99u << 0x46;
    QTest::newRow("keypad *") << 55u << 0x55;
    QTest::newRow("keypad /") << 98u << 0x54;
    QTest::newRow("keypad 7") << 71u << 0x5F;
    QTest::newRow("Home") << 102u << 0x4A;
    QTest::newRow("Delete") << 111u << 0x4C;
    QTest::newRow("Down") << 108u << 0x51;
    QTest::newRow("F10") << 68u << 0x43;
    QTest::newRow("F11") << 87u << 0x44;
    QTest::newRow("F12") << 88u << 0x45;
    QTest::newRow("F23") << 193u << 0x72;
    QTest::newRow("F13 has no entry") << 183u << 0;
    QTest::newRow("102nd key") << 86u << 0x64;
    QTest::newRow("left Windows") << 125u << 0xE3;
    QTest::newRow("right Windows has no entry") << 126u << 0;
    QTest::newRow("Menu") << 127u << 0x65;
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
    const EvdevScanCodes::ScanCode code = EvdevScanCodes::forEvdev(evdev);
    hooks->keyboardEvent(code.scan, code.extended ? GlobalInputHooks::Extended : 0u, true);
    const QList<Event> expected = usage ? QList<Event>{{usage, true}} : QList<Event>();
    QCOMPARE(recorder.keys, expected);
}

void tst_GlobalInputHooks::x11Buttons_data()
{
    QTest::addColumn<uint>("button");
    QTest::addColumn<int>("code");

    QTest::newRow("left") << 1u << 0xF0;
    QTest::newRow("middle") << 2u << 0xF2;
    QTest::newRow("right") << 3u << 0xF1;
    QTest::newRow("wheel up") << 4u << 0;
    QTest::newRow("wheel down") << 5u << 0;
    QTest::newRow("wheel left") << 6u << 0;
    QTest::newRow("back") << 8u << 0;
    QTest::newRow("forward") << 9u << 0;
}

void tst_GlobalInputHooks::x11Buttons()
{
    QFETCH(uint, button);
    QFETCH(int, code);

    Recorder recorder;
    auto hooks = makeHooks(&recorder);
    for (bool down : {true, false}) {
        if (const std::uint32_t message = X11InputHooks::buttonMessage(button, down))
            hooks->mouseMessage(message, 0, 0);
    }
    const QList<Event> expected = code ? QList<Event>{{code, true}, {code, false}} : QList<Event>();
    QCOMPARE(recorder.buttons, expected);
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
    auto backend = std::make_unique<EventFilterInputHooks>();
    EventFilterInputHooks *filter = backend.get();
    GlobalInputHooks hooks(std::move(backend));
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

    hooks.removeHooks();
    send(&window, QEvent::KeyPress, 30 + 8, true);
    QCOMPARE(recorder.keys.size(), 2);
    Q_UNUSED(filter)
}

void tst_GlobalInputHooks::eventFilterMouse()
{
    Recorder recorder;
    GlobalInputHooks hooks(std::make_unique<EventFilterInputHooks>());
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
