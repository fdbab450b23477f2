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
    // Every evdev code through the set-1 scan code of a Windows hook (+: extended) to its
    // usage, "evdev:scan>usage", then scan codes only Windows sends (a: with Alt). Then
    // Windows button messages and X buttons: moves, wheels, side buttons and double clicks
    // are ignored; buttons have no repeat suppression.
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
                keys << QString::asprintf("%u:%02x%s>", evdev, code.scan,
                                          code.extended ? "+" : "") +
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
            QStringLiteral(
                "1:01>29 2:02>1e 3:03>1f 4:04>20 5:05>21 6:06>22 7:07>23 8:08>24 9:09>25 10:0a>26 "
                "11:0b>27 12:0c>2d 13:0d>2e 14:0e>2a 15:0f>2b 16:10>14 17:11>1a 18:12>08 19:13>15 "
                "20:14>17 21:15>1c 22:16>18 23:17>0c 24:18>12 25:19>13 26:1a>2f 27:1b>30 28:1c>28 "
                "29:1d>e0 30:1e>04 31:1f>16 32:20>07 33:21>09 34:22>0a 35:23>0b 36:24>0d 37:25>0e "
                "38:26>0f 39:27>33 40:28>34 41:29>35 42:2a>e1 43:2b>31 44:2c>1d 45:2d>1b 46:2e>06 "
                "47:2f>19 48:30>05 49:31>11 50:32>10 51:33>36 52:34>37 53:35>38 54:36+>e5 55:37>55 "
                "56:38>e2 57:39>2c 58:3a>39 59:3b>3a 60:3c>3b 61:3d>3c 62:3e>3d 63:3f>3e 64:40>3f "
                "65:41>40 66:42>41 67:43>42 68:44>43 69:45+>53 70:46>47 71:47>5f 72:48>60 73:49>61 "
                "74:4a>56 75:4b>5c 76:4c>5d 77:4d>5e 78:4e>57 79:4f>59 80:50>5a 81:51>5b 82:52>62 "
                "83:53>63 86:56>64 87:57>44 88:58>45 89:73> 92:79> 93:70> 94:7b> 96:1c+>58 "
                "97:1d+>e4 98:35+>54 99:37+>46 100:38+>e6 102:47+>4a 103:48+>52 104:49+>4b "
                "105:4b+>50 106:4d+>4f 107:4f+>4d 108:50+>51 109:51+>4e 110:52+>49 111:53+>4c "
                "113:20+> 114:2e+> 115:30+> 117:59> 119:45>48 121:7e> 124:7d> 125:5b+>e3 126:5c+> "
                "127:5d+>65 183:64> 184:65> 185:66> 186:67> 187:68> 188:69> 189:6a> 190:6b> "
                "191:6c> 192:6d> 193:6e>72 194:76> 46+>48 54a>46 54> 36> 7f> 11e>"));

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
            QVERIFY(!failing.isInstalled());
            failing.removeHooks();
            log << "-";
            GlobalInputHooks hooks(std::make_unique<FakeBackend>(&log));
            hooks.keyboardEvent(0x1E, 0, true); // A, before any callback
            QVERIFY(hooks.isKeyDown(0x04));
            hooks.setKeyboardCallback(recordKey, &seen);
            for (bool active : {true, true, false, false, true}) {
                hooks.setCaptureActive(active);
                QCOMPARE(hooks.isInstalled(), active);
                hooks.keyboardEvent(0x1E, 0, true);
            }
            hooks.keyboardEvent(0x1E, 0, false);
            QVERIFY(!hooks.isKeyDown(0x04));
            hooks.keyboardEvent(0x1C, GlobalInputHooks::Extended, false); // keypad Enter, not down
            hooks.keyboardEvent(0x1C, 0, true);
            hooks.keyboardEvent(0x1C, GlobalInputHooks::Extended, false);
            log << "-";
        }
        QCOMPARE(log.join(' '),
                 QStringLiteral("i0 i1 r0 - i0 i1 r0 r1 i0 i1 - r0 r1")); // 0: keyboard
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
