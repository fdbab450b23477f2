#include "evdevscancodes.h"
#include "globalinputhooks.h"
#include "x11inputhooks.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

namespace {
// What reaches the callbacks, as "<usage>+" / "<usage>-" for keys and
// "<button>+ x,y" for buttons, in hexadecimal.
QString hex(uint value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

void recordKey(std::uint8_t usage, bool down, void *context)
{
    *static_cast<QStringList *>(context) << hex(usage) + (down ? "+" : "-");
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
    void everyKeyAndButton();
    void installAndRemoveOrder();
    void eventFilterTakesEachEventOnce();
};

// Every evdev code through the set-1 scan code a Windows hook reports for
// the same key (+: extended) to its USB usage, as "evdev:scan>usage"; then
// the scan codes only a Windows hook sends (a: with Alt). Then the hook's
// button messages and X's button numbers as the X11 hooks turn them into the
// same messages: moves, wheels, side buttons and double clicks are ignored;
// buttons have no repeat suppression.
void tst_GlobalInputHooks::everyKeyAndButton()
{
    QStringList seen;
    GlobalInputHooks hooks(nullptr);
    hooks.setKeyboardCallback(recordKey, &seen);
    hooks.setMouseCallback(recordButton, &seen);
    const auto press = [&](uint scan, uint flags) {
        seen.clear();
        hooks.keyboardEvent(scan, flags, true);
        hooks.keyboardEvent(scan, flags, false);
        const QString usage = seen.value(0).left(2);
        return seen == QStringList{usage + "+", usage + "-"} ? usage
               : seen.isEmpty()                              ? QStringLiteral("00")
                                                             : seen.join(' ');
    };
    const uint ext = GlobalInputHooks::Extended;
    const uint alt = GlobalInputHooks::AltDown;
    QStringList keys;
    for (uint evdev = 0; evdev < 400; evdev += evdev < 255 ? 1 : 145) {
        const EvdevScanCodes::ScanCode code = EvdevScanCodes::forEvdev(evdev);
        if (code.scan)
            keys << QStringLiteral("%1:%2%3>")
                            .arg(evdev)
                            .arg(hex(code.scan), code.extended ? "+" : "") +
                        press(code.scan, code.extended ? ext : 0u);
    }
    for (const auto &[scan, flags] :
         {std::pair{0x46u, ext}, {0x54u, alt}, {0x54u, 0u}, {0x36u, 0u}, {0x7Fu, 0u}, {0x11Eu, 0u}})
        keys << hex(int(scan)) + (flags & ext ? "+" : "") + (flags & alt ? "a" : "") + ">" +
                    press(scan, flags);
    // Keys the hooks of Windows do not name (F13..F22, F24, the media and
    // Japanese keys, right Windows) give no usage on any platform.
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
            "83:53>63 86:56>64 87:57>44 88:58>45 89:73>00 92:79>00 93:70>00 94:7b>00 96:1c+>58 "
            "97:1d+>e4 98:35+>54 99:37+>46 100:38+>e6 102:47+>4a 103:48+>52 104:49+>4b "
            "105:4b+>50 "
            "106:4d+>4f 107:4f+>4d 108:50+>51 109:51+>4e 110:52+>49 111:53+>4c 113:20+>00 "
            "114:2e+>00 115:30+>00 117:59>00 119:45>48 121:7e>00 124:7d>00 125:5b+>e3 "
            "126:5c+>00 "
            "127:5d+>65 183:64>00 184:65>00 185:66>00 186:67>00 187:68>00 188:69>00 189:6a>00 "
            "190:6b>00 191:6c>00 192:6d>00 193:6e>72 194:76>00 46+>48 54a>46 54>00 36>00 7f>00 "
            "11e>00"));

    seen.clear();
    for (uint message = 0x200; message <= 0x20E; ++message)
        hooks.mouseMessage(message, 12, -34);
    hooks.mouseMessage(0x201, 12, -34);
    hooks.mouseMessage(0x201, 12, -34);
    for (uint button = 1; button <= 9; ++button) {
        hooks.mouseMessage(X11InputHooks::buttonMessage(button, true), 12, -34);
        hooks.mouseMessage(X11InputHooks::buttonMessage(button, false), 12, -34);
    }
    QCOMPARE(seen.join(' ').remove(" 12,-34"),
             QStringLiteral("f0+ f0- f1+ f1- f2+ f2- f0+ f0+ f0+ f0- f2+ f2- f1+ f1-"));
}

// Nothing is hooked until a capture starts; both hooks or neither; removal
// takes the keyboard first and happens once. A held key repeats unseen; one
// still held when a capture ends is pressed afresh in the next.
void tst_GlobalInputHooks::installAndRemoveOrder()
{
    QStringList log;
    QStringList seen;
    {
        GlobalInputHooks failing(std::make_unique<FakeBackend>(&log, true));
        QVERIFY(log.isEmpty());
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

// Without an X server the event filter serves. Native scan codes are X
// keycodes (evdev + 8); only spontaneous events to a window count, each once,
// and only while a capture runs.
void tst_GlobalInputHooks::eventFilterTakesEachEventOnce()
{
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":65431"); // no server there
    GlobalInputHooks hooks(makePlatformInputHookBackend());
    qputenv("DISPLAY", display);
    QCOMPARE(hooks.backendName(), "event filter");
    QStringList seen;
    hooks.setCaptureActive(true);
    hooks.setKeyboardCallback(recordKey, &seen);
    hooks.setMouseCallback(recordButton, &seen);
    QWindow window;
    QObject notAWindow;
    const auto key = [](QObject *target, QEvent::Type type, quint32 nativeScanCode,
                        bool spontaneous, bool autoRepeat = false) {
        QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, nativeScanCode, 0, 0, QString(),
                        autoRepeat);
        if (spontaneous)
            QSpontaneKeyEvent::setSpontaneous(&event);
        QCoreApplication::instance()->notify(target, &event);
    };
    key(&window, QEvent::KeyPress, 96 + 8, true);         // keypad Enter
    key(&notAWindow, QEvent::KeyPress, 28 + 8, true);     // passed on to a widget
    key(&window, QEvent::KeyPress, 28 + 8, false);        // passed on to the scene
    key(&window, QEvent::KeyRelease, 96 + 8, true, true); // auto-repeat
    key(&window, QEvent::KeyPress, 96 + 8, true, true);
    key(&window, QEvent::KeyRelease, 96 + 8, true);
    key(&window, QEvent::KeyPress, 0, true); // no native code
    using E = QEvent;
    for (auto [type, button] : {std::pair{E::MouseButtonPress, Qt::LeftButton},
                                {E::MouseButtonDblClick, Qt::LeftButton},
                                {E::MouseButtonDblClick, Qt::MiddleButton},
                                {E::MouseButtonRelease, Qt::RightButton},
                                {E::MouseButtonPress, Qt::BackButton}}) {
        QMouseEvent event(type, QPointF(1, 1), QPointF(1, 1), QPointF(300, 400), button, button,
                          Qt::NoModifier);
        QSpontaneKeyEvent::setSpontaneous(&event);
        QCoreApplication::instance()->notify(&window, &event);
    }
    hooks.setCaptureActive(false);
    key(&window, QEvent::KeyPress, 30 + 8, true);
    QCOMPARE(seen, (QStringList{"58+", "58-", "f0+ 300,400", "f1- 300,400"}));
}

QTEST_MAIN(tst_GlobalInputHooks)
#include "tst_globalinputhooks.moc"
