#include "globalinputhooks.h"
#include "hookcallbacks.h"
#include "myqquickview.h"
#include "testdatafolder.h"
#include "widget.h"
#include "x11inputhooks.h"
#include "xserver.h"

#include <QQuickItem>
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
    // The scene's calls, short: "K+4" for "detectKeyboard true 4".
    QString calls() const
    {
        QString text = m_widget->view()->rootObject()->property("calls").toStringList().join(',');
        for (const char *kind : {"Keyboard", "Mouse"}) {
            text.replace(QStringLiteral("detect%1 true ").arg(kind), QString(kind[0]) + "+");
            text.replace(QStringLiteral("detect%1 false ").arg(kind), QString(kind[0]) + "-");
        }
        return text;
    }

    XServer m_x;
    xcb_connection_t *m_otherClient = nullptr;
    TestDataFolder m_folder;
    std::unique_ptr<Widget> m_widget{new Widget(nullptr, "qrc:/scenes/recorder.qml")};
    std::unique_ptr<GlobalInputHooks> m_hooks;
    std::unique_ptr<QObject> m_captures;
    X11InputHooks *m_backend = nullptr;
};

void tst_X11Hooks::initTestCase()
{
    const QString failure = m_x.start("800x600x24");
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    qputenv("DISPLAY", m_x.display.toLatin1());
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
}

void tst_X11Hooks::capturesInputAimedAtAnotherWindow()
{
    // Another client's window, mapped and holding the input focus.
    m_otherClient = xcb_connect(qPrintable(m_x.display), nullptr);
    QVERIFY(!xcb_connection_has_error(m_otherClient));
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
    QVERIFY(focus && focus->focus == window);
    free(focus);

    m_widget->view()->setCaptureActive(true);
    QVERIFY(m_hooks->isInstalled());
    QCOMPARE(m_backend->selectedEvents(), quint32(XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS |
                                                  XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE |
                                                  XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS |
                                                  XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE));

    QVERIFY(m_x.xdotool(
        {"key", "a", "Return", "KP_Enter", "Shift_R", "Pause", "Num_Lock", "Print", "Num_Lock"}));
    // Held past the server's auto-repeat delay.
    QVERIFY(m_x.xdotool({"keydown", "b", "sleep", "1", "keyup", "b"}));
    // Wheel and side buttons come before the last click and must leave no
    // trace.
    QVERIFY(m_x.xdotool({"mousemove", "100", "200", "click", "1", "click", "3", "click", "4",
                         "click", "8", "click", "2"}));

    // xdotool holds a modifier's first key (left Shift) around the one asked
    // for (225, 229): both sides arrive, each as itself.
    QTRY_COMPARE_WITH_TIMEOUT(calls(),
                              QStringLiteral("K+4,K-4,K+40,K-40,K+88,K-88,K+225,K+229,K-225,K-229,"
                                             "K+72,K-72,K+83,K-83,K+70,K-70,K+83,K-83,K+5,K-5,"
                                             "M+240 100 200,M-240 100 200,M+241 100 200,"
                                             "M-241 100 200,M+242 100 200,M-242 100 200"),
                              10000);
}

// With the window shown but no capture, hidden in the tray, after the
// capture ended and when the window hides during one, typing and clicking
// elsewhere reach nothing, and the server has nothing selected for us. The
// key typed once a capture runs again must be the next thing the scene
// sees, so nothing typed before it slipped through.
void tst_X11Hooks::nothingIsSeenWithoutACapture()
{
    myQQuickView *view = m_widget->view();
    const QString before = calls();
    const auto typeUnseen = [this](const char *key) {
        QCOMPARE(m_backend->selectedEvents(), 0u);
        QVERIFY(m_x.xdotool({"key", key, "click", "1"}));
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
    QVERIFY(m_x.xdotool({"key", "t"}));
    QTRY_COMPARE_WITH_TIMEOUT(calls(), before + ",K+23,K-23", 10000);
}

void tst_X11Hooks::lostServerDoesNotSpin()
{
    m_x.stop();
    QCOMPARE(m_x.process.state(), QProcess::NotRunning);
    QTest::qWait(100); // the hooks notice the closed connection
    const std::clock_t start = std::clock();
    QTest::qWait(1000);
    const double cpuSeconds = double(std::clock() - start) / CLOCKS_PER_SEC;
    QVERIFY2(cpuSeconds < 0.2, qPrintable(QString("%1 s of CPU while idle").arg(cpuSeconds)));
    m_hooks->removeHooks(); // harmless on a dead connection
}

QTEST_MAIN(tst_X11Hooks)
#include "tst_x11hooks.moc"
