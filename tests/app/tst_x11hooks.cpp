#include "globalinputhooks.h"
#include "hookcallbacks.h"
#include "myqquickview.h"
#include "testdatafolder.h"
#include "widget.h"
#include "x11inputhooks.h"

#include <QProcess>
#include <QQuickItem>
#include <QStandardPaths>
#include <QTest>
#include <ctime>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

// Global capture on a real X server: keys typed and buttons clicked into
// another application's window reach the scene while, and only while, the
// scene has a capture active in a shown window.
class tst_X11Hooks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void capturesInputAimedAtAnotherWindow();
    void nothingIsSeenWithoutACapture();
    void lostServerDoesNotSpin();

private:
    QStringList calls() const;
    xcb_window_t focusOtherWindow();
    bool runXdotool(const QStringList &arguments);

    QProcess m_server;
    QString m_display;
    xcb_connection_t *m_otherClient = nullptr;
    std::unique_ptr<TestDataFolder> m_folder;
    std::unique_ptr<Widget> m_widget;
    std::unique_ptr<GlobalInputHooks> m_hooks;
    std::unique_ptr<QObject> m_captures;
    X11InputHooks *m_backend = nullptr;
};

void tst_X11Hooks::initTestCase()
{
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    QVERIFY2(!xvfb.isEmpty(), "Xvfb is missing (scripts/install-deps.sh installs it)");
    QVERIFY2(!QStandardPaths::findExecutable("xdotool").isEmpty(), "xdotool is missing");
    // The server picks a free display and writes its number to stdout.
    m_server.start(xvfb, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "800x600x24"});
    QVERIFY(m_server.waitForStarted(5000));
    while (!m_server.canReadLine())
        QVERIFY2(m_server.waitForReadyRead(10000), "Xvfb did not report its display");
    m_display = ":" + QString::fromLatin1(m_server.readLine().trimmed());
    qputenv("DISPLAY", m_display.toLatin1());

    m_folder = std::make_unique<TestDataFolder>();
    m_widget = std::make_unique<Widget>(nullptr, "qrc:/scenes/recorder.qml");
    QVERIFY(m_widget->view()->rootObject());

    m_widget->show();

    std::unique_ptr<X11InputHooks> backend = X11InputHooks::open();
    QVERIFY(backend);
    m_backend = backend.get();
    m_hooks = std::make_unique<GlobalInputHooks>(std::move(backend));
    m_captures = HookCallbacks::connectCaptures(*m_hooks, m_widget.get());
    QVERIFY(!m_hooks->isInstalled());
    QCOMPARE(m_backend->selectedEvents(), 0u);
}

void tst_X11Hooks::cleanupTestCase()
{
    m_captures.reset();
    m_hooks.reset();
    if (m_otherClient)
        xcb_disconnect(m_otherClient);
    m_widget.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_folder.reset();
    m_server.terminate();
    m_server.waitForFinished(5000);
}

QStringList tst_X11Hooks::calls() const
{
    return m_widget->view()->rootObject()->property("calls").toStringList();
}

// Another client's window, mapped and holding the input focus.
xcb_window_t tst_X11Hooks::focusOtherWindow()
{
    m_otherClient = xcb_connect(qPrintable(m_display), nullptr);
    if (xcb_connection_has_error(m_otherClient))
        return XCB_NONE;
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_otherClient)).data;
    const xcb_window_t window = xcb_generate_id(m_otherClient);
    const uint32_t events = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_BUTTON_PRESS;
    xcb_create_window(m_otherClient, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 800, 600, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK,
                      &events);
    xcb_map_window(m_otherClient, window);
    xcb_set_input_focus(m_otherClient, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    xcb_get_input_focus_reply_t *focus =
        xcb_get_input_focus_reply(m_otherClient, xcb_get_input_focus(m_otherClient), nullptr);
    const xcb_window_t focused = focus ? focus->focus : XCB_NONE;
    free(focus);
    return focused == window ? window : XCB_NONE;
}

bool tst_X11Hooks::runXdotool(const QStringList &arguments)
{
    QProcess xdotool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", m_display);
    xdotool.setProcessEnvironment(environment);
    xdotool.start("xdotool", arguments);
    return xdotool.waitForFinished(10000) && xdotool.exitStatus() == QProcess::NormalExit &&
           xdotool.exitCode() == 0;
}

void tst_X11Hooks::capturesInputAimedAtAnotherWindow()
{
    QVERIFY(focusOtherWindow() != XCB_NONE);
    m_widget->view()->setCaptureActive(true);
    QVERIFY(m_hooks->isInstalled());
    QCOMPARE(m_backend->selectedEvents(), quint32(XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS |
                                                  XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE |
                                                  XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS |
                                                  XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE));

    QVERIFY(runXdotool(
        {"key", "a", "Return", "KP_Enter", "Shift_R", "Pause", "Num_Lock", "Print", "Num_Lock"}));
    // Held past the server's auto-repeat delay.
    QVERIFY(runXdotool({"keydown", "b", "sleep", "1", "keyup", "b"}));
    // Wheel and side buttons come before the last click and must leave no
    // trace.
    QVERIFY(runXdotool({"mousemove", "100", "200", "click", "1", "click", "3", "click", "4",
                        "click", "8", "click", "2"}));

    QStringList expected;
    auto typed = [&expected](int usage) {
        expected << QString("detectKeyboard true %1").arg(usage)
                 << QString("detectKeyboard false %1").arg(usage);
    };
    typed(0x04);
    typed(0x28);
    typed(0x58);
    // xdotool holds a modifier's first key (left Shift) around the one asked
    // for: both sides arrive, each as itself.
    expected << "detectKeyboard true 225"
             << "detectKeyboard true 229"
             << "detectKeyboard false 225"
             << "detectKeyboard false 229";
    for (int usage : {0x48, 0x53, 0x46, 0x53, 0x05})
        typed(usage);
    for (int button : {0xF0, 0xF1, 0xF2}) {
        expected << QString("detectMouse true %1 100 200").arg(button)
                 << QString("detectMouse false %1 100 200").arg(button);
    }
    QTRY_COMPARE_WITH_TIMEOUT(calls().size(), expected.size(), 10000);
    QCOMPARE(calls(), expected);
}

// With the window shown but no capture, hidden in the tray, after the
// capture ended and when the window hides during one, typing and clicking
// elsewhere reach nothing, and the server has nothing selected for us. The
// key typed once a capture runs again must be the next thing the scene
// sees, so nothing typed before it slipped through.
void tst_X11Hooks::nothingIsSeenWithoutACapture()
{
    myQQuickView *view = m_widget->view();
    const QStringList before = calls();
    const auto typeUnseen = [this](const char *key) {
        QCOMPARE(m_backend->selectedEvents(), 0u);
        QVERIFY(runXdotool({"key", key, "click", "1"}));
    };

    view->setCaptureActive(false);
    typeUnseen("s");
    m_widget->hide();
    view->setCaptureActive(true); // nothing is typed into a hidden window
    QVERIFY(!view->isCaptureActive());
    typeUnseen("e");
    m_widget->show();
    typeUnseen("c");
    view->setCaptureActive(true);
    m_widget->hide();
    QVERIFY(!m_hooks->isInstalled());
    typeUnseen("r");
    m_widget->show();
    view->setCaptureActive(true);
    QVERIFY(runXdotool({"key", "t"}));
    const QStringList expected =
        before + QStringList{"detectKeyboard true 23", "detectKeyboard false 23"};
    QTRY_COMPARE_WITH_TIMEOUT(calls().size(), expected.size(), 10000);
    QCOMPARE(calls(), expected);
}

void tst_X11Hooks::lostServerDoesNotSpin()
{
    m_server.terminate();
    QVERIFY(m_server.waitForFinished(5000));
    QTest::qWait(100); // the hooks notice the closed connection
    const std::clock_t start = std::clock();
    QTest::qWait(1000);
    const double cpuSeconds = double(std::clock() - start) / CLOCKS_PER_SEC;
    QVERIFY2(cpuSeconds < 0.2, qPrintable(QString("%1 s of CPU while idle").arg(cpuSeconds)));
    m_hooks->removeHooks(); // harmless on a dead connection
}

QTEST_MAIN(tst_X11Hooks)
#include "tst_x11hooks.moc"
