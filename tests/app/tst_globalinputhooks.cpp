#include "evdevscancodes.h"
#include "globalinputhooks.h"
#include "x11inputhooks.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTest>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

namespace {
// What reaches the callbacks: "<usage>+|-" for keys, "<button>+|- x,y" for buttons (hex).
void recordKey(std::uint8_t usage, bool down, void *context)
{
    *static_cast<QStringList *>(context) << QString::asprintf("%02x%c", usage, down ? '+' : '-');
}

void recordButton(std::uint8_t button, bool down, int x, int y, void *context)
{
    recordKey(button, down, context);
    static_cast<QStringList *>(context)->last() += QStringLiteral(" %1,%2").arg(x).arg(y);
}

// Installs and removes on request and notes the order; the mouse may fail.
struct FakeBackend : InputHookBackend
{
    FakeBackend(QStringList *log, bool mouseFails = false) : log(log), mouseFails(mouseFails) {}
    const char *name() const override { return "fake"; }
    bool install(Hook hook, GlobalInputHooks &) override
    {
        *log << QStringLiteral("i%1").arg(hook);
        return !(hook == Mouse && mouseFails);
    }
    void remove(Hook hook) override { *log << QStringLiteral("r%1").arg(hook); }
    QStringList *log;
    bool mouseFails;
};
} // namespace

class tst_GlobalInputHooks : public QObject
{
    Q_OBJECT

private slots:
    // "evdev>usage" through a Windows hook's scan code, then scan codes only Windows sends
    // (+: extended, a: with Alt); then buttons: moves, wheels, side buttons, double clicks ignored.
    void everyKeyAndButton()
    {
        QStringList seen;
        GlobalInputHooks hooks(nullptr);
        hooks.setKeyboardCallback(recordKey, &seen);
        hooks.setMouseCallback(recordButton, &seen);
        const auto press = [&](uint scan, uint flags) {
            seen.clear();
            hooks.keyboardEvent(scan, flags, true);
            hooks.keyboardEvent(scan, flags, false);
            return seen.join(' ').replace(QRegularExpression("^(..)\\+ \\1-$"), "\\1");
        };
        const uint ext = GlobalInputHooks::Extended, alt = GlobalInputHooks::AltDown;
        QStringList keys;
        for (uint evdev = 0; evdev < 400; evdev += evdev < 255 ? 1 : 145) {
            const EvdevScanCodes::ScanCode code = EvdevScanCodes::forEvdev(evdev);
            if (code.scan)
                keys << QString::asprintf("%u>", evdev) +
                            press(code.scan, code.extended ? ext : 0u);
        }
        const std::pair<uint, uint> scans[] = {{0x46, ext}, {0x54, alt}, {0x54, 0},
                                               {0x36, 0},   {0x7F, 0},   {0x11E, 0}};
        for (const auto &[scan, flags] : scans)
            keys << QString::asprintf("%02x%s%s>", scan, flags & ext ? "+" : "",
                                      flags & alt ? "a" : "") +
                        press(scan, flags);
        // Keys Windows hooks do not name (F13..F22, F24, media, Japanese, right Windows): none.
        QCOMPARE(
            keys.join(' '),
            "1>29 2>1e 3>1f 4>20 5>21 6>22 7>23 8>24 9>25 10>26 11>27 12>2d 13>2e 14>2a 15>2b "
            "16>14 17>1a 18>08 19>15 20>17 21>1c 22>18 23>0c 24>12 25>13 26>2f 27>30 28>28 "
            "29>e0 30>04 31>16 32>07 33>09 34>0a 35>0b 36>0d 37>0e 38>0f 39>33 40>34 41>35 "
            "42>e1 43>31 44>1d 45>1b 46>06 47>19 48>05 49>11 50>10 51>36 52>37 53>38 54>e5 "
            "55>55 56>e2 57>2c 58>39 59>3a 60>3b 61>3c 62>3d 63>3e 64>3f 65>40 66>41 67>42 "
            "68>43 69>53 70>47 71>5f 72>60 73>61 74>56 75>5c 76>5d 77>5e 78>57 79>59 80>5a "
            "81>5b 82>62 83>63 86>64 87>44 88>45 89> 92> 93> 94> 96>58 97>e4 98>54 99>46 "
            "100>e6 102>4a 103>52 104>4b 105>50 106>4f 107>4d 108>51 109>4e 110>49 111>4c 113> "
            "114> 115> 117> 119>48 121> 124> 125>e3 126> 127>65 183> 184> 185> 186> 187> 188> "
            "189> 190> 191> 192> 193>72 194> 46+>48 54a>46 54> 36> 7f> 11e>");

        seen.clear();
        for (uint message = 0x200; message <= 0x210; ++message) // then left down twice more
            hooks.mouseMessage(message > 0x20E ? 0x201 : message, 12, -34);
        for (uint button = 2; button <= 19; ++button) // X buttons 1..9, down and up
            hooks.mouseMessage(X11InputHooks::buttonMessage(button / 2, button % 2 == 0), 12, -34);
        QCOMPARE(seen.join(' ').remove(" 12,-34"),
                 QStringLiteral("f0+ f0- f1+ f1- f2+ f2- f0+ f0+ f0+ f0- f2+ f2- f1+ f1-"));
    }
    // Hooks only during a capture, both or neither, the keyboard removed first, once. A held
    // key repeats unseen; one still held when a capture ends is pressed afresh in the next.
    void installAndRemoveOrder()
    {
        QStringList log, seen;
        {
            GlobalInputHooks failing(std::make_unique<FakeBackend>(&log, true));
            failing.setCaptureActive(true);
            failing.removeHooks();
            log << "-";
            GlobalInputHooks hooks(std::make_unique<FakeBackend>(&log));
            hooks.keyboardEvent(0x1E, 0, true); // A, before any callback
            hooks.setKeyboardCallback(recordKey, &seen);
            for (bool active : {true, true, false, false, true}) {
                hooks.setCaptureActive(active);
                hooks.keyboardEvent(0x1E, 0, true);
            }
            hooks.keyboardEvent(0x1E, 0, false);
            hooks.keyboardEvent(0x1C, GlobalInputHooks::Extended, false); // keypad Enter, not down
            hooks.keyboardEvent(0x1C, 0, true);
            hooks.keyboardEvent(0x1C, GlobalInputHooks::Extended, false);
            log << "-";
        }
        QCOMPARE(log.join(' '), "i0 i1 r0 - i0 i1 r0 r1 i0 i1 - r0 r1"); // 0: keyboard
        QCOMPARE(seen, (QStringList{"04+", "04+", "04-", "28+"}));
    }
    // Without an X server the event filter serves: native scan codes are X keycodes (evdev
    // + 8); only spontaneous events to a window count, each once, while a capture runs.
    void eventFilterTakesEachEventOnce()
    {
        qputenv("DISPLAY", ":65431"); // no server there
        GlobalInputHooks hooks(makePlatformInputHookBackend());
        QCOMPARE(hooks.backendName(), "not chosen"); // no X connection tried before a capture
        QStringList seen;
        hooks.setCaptureActive(true);
        QCOMPARE(hooks.backendName(), "event filter");
        hooks.setKeyboardCallback(recordKey, &seen);
        hooks.setMouseCallback(recordButton, &seen);
        QWindow window;
        QObject notAWindow;
        using E = QEvent;
        const auto key = [](QObject *to, E::Type type, quint32 code, bool spontaneous,
                            bool repeat = false) {
            QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, code, 0, 0, {}, repeat);
            if (spontaneous)
                QSpontaneKeyEvent::setSpontaneous(&event);
            return QCoreApplication::instance()->notify(to, &event);
        };
        key(&window, E::KeyPress, 96 + 8, true);               // keypad Enter
        QVERIFY(!key(&notAWindow, E::KeyPress, 28 + 8, true)); // passed on to a widget
        key(&window, E::KeyPress, 28 + 8, false);              // passed on to the scene
        key(&window, E::KeyRelease, 96 + 8, true, true);       // auto-repeat
        key(&window, E::KeyPress, 96 + 8, true, true);
        key(&window, E::KeyRelease, 96 + 8, true);
        key(&window, E::KeyPress, 0, true); // no native code
        const std::pair<E::Type, Qt::MouseButton> clicks[] = {
            {E::MouseButtonPress, Qt::LeftButton},
            {E::MouseButtonDblClick, Qt::LeftButton},
            {E::MouseButtonDblClick, Qt::MiddleButton},
            {E::MouseButtonRelease, Qt::RightButton},
            {E::MouseButtonPress, Qt::BackButton}};
        for (auto [type, button] : clicks) {
            QMouseEvent event(type, QPointF(1, 1), QPointF(1, 1), QPointF(300, 400), button, button,
                              Qt::NoModifier);
            QSpontaneKeyEvent::setSpontaneous(&event);
            QCoreApplication::instance()->notify(&window, &event);
        }
        hooks.setCaptureActive(false);
        key(&window, E::KeyPress, 30 + 8, true);
        QCOMPARE(seen, (QStringList{"58+", "58-", "f0+ 300,400", "f1- 300,400"}));
    }
};

QTEST_MAIN(tst_GlobalInputHooks)
#include "tst_globalinputhooks.moc"
