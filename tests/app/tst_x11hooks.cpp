#include "globalinputhooks.h"
#include "hookcallbacks.h"
#include "myqquickview.h"
#include "testdatafolder.h"
#include "widget.h"
#include "x11inputhooks.h"
#include "xserver.h"

#include <QQuickItem>
#include <QRegularExpression>
#include <QTest>
#include <ctime>
#include <xcb/xcb.h>

// Global capture on a real X server: input aimed at another application's
// window reaches the scene while, and only while, a capture runs in a shown window.
class tst_X11Hooks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(m_x.start("800x600x24"), QString());
        qputenv("DISPLAY", m_x.display.toLatin1());
        m_widget->show();
        std::unique_ptr<X11InputHooks> backend = X11InputHooks::open();
        QVERIFY(m_backend = backend.get());
        m_hooks = std::make_unique<GlobalInputHooks>(std::move(backend));
        m_captures = HookCallbacks::connectCaptures(*m_hooks, m_widget.get());
    }
    void capturesInputAimedAtAnotherWindow()
    {
        // Another client's window, mapped and holding the input focus.
        xcb_connection_t *c = xcb_connect(qPrintable(m_x.display), nullptr);
        m_otherClient.reset(c, xcb_disconnect);
        xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const xcb_window_t window = xcb_generate_id(c);
        const uint32_t events = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_BUTTON_PRESS;
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 800, 600, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK,
                          &events);
        xcb_map_window(c, window);
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

        m_widget->view()->setCaptureActive(true);
        // "b" held past the server's auto-repeat delay; wheel and side buttons
        // come before the last click and must leave no trace.
        QVERIFY(m_x.xdotool(QString("key a Return KP_Enter keydown b sleep 1 keyup b mousemove "
                                    "100 200 click 1 click 3 click 4 click 8 click 2")
                                .split(' ')));
        QTRY_COMPARE_WITH_TIMEOUT(
            calls(),
            QStringLiteral("K+4,K-4,K+40,K-40,K+88,K-88,K+5,K-5,M+240 100 200,"
                           "M-240 100 200,M+241 100 200,M-241 100 200,"
                           "M+242 100 200,M-242 100 200"),
            10000);
    }
    // Without a capture, hidden, after a capture and when the window hides during one, nothing
    // is selected; the key typed once a capture runs again is the next thing the scene sees.
    void nothingIsSeenWithoutACapture()
    {
        const QString before = calls();
        const auto typeUnseen = [this](const char *key) {
            QCOMPARE(m_backend->selectedEvents(), 0u);
            QVERIFY(m_x.xdotool({"key", key, "click", "1"}));
        };

        m_widget->view()->setCaptureActive(false);
        typeUnseen("s");
        m_widget->hide();
        m_widget->view()->setCaptureActive(true); // nothing is typed into a hidden window
        typeUnseen("e");
        m_widget->show();
        typeUnseen("c");
        m_widget->view()->setCaptureActive(true);
        m_widget->hide();
        typeUnseen("r");
        m_widget->show();
        m_widget->view()->setCaptureActive(true);
        QVERIFY(m_x.xdotool({"key", "t"}));
        QTRY_COMPARE_WITH_TIMEOUT(calls(), before + ",K+23,K-23", 10000);
    }
    void lostServerDoesNotSpin()
    {
        m_x.stop();
        QTest::qWait(100); // the hooks notice the closed connection
        const std::clock_t start = std::clock();
        QTest::qWait(1000);
        const double cpuSeconds = double(std::clock() - start) / CLOCKS_PER_SEC;
        QVERIFY2(cpuSeconds < 0.2, qPrintable(QString("%1 s of CPU while idle").arg(cpuSeconds)));
        m_hooks->removeHooks(); // harmless on a dead connection
    }

private:
    // The scene's calls, short: "K+4" for "detectKeyboard true 4".
    QString calls() const
    {
        QString text = m_widget->view()->rootObject()->property("calls").toStringList().join(',');
        return text.replace(QRegularExpression("detect(.)\\w+ true "), "\\1+")
            .replace(QRegularExpression("detect(.)\\w+ false "), "\\1-");
    }

    XServer m_x;
    std::shared_ptr<xcb_connection_t> m_otherClient; // members go: hooks, then the window
    TestDataFolder m_folder;
    std::unique_ptr<Widget> m_widget{
        new Widget(m_folder.path(), nullptr, "qrc:/scenes/recorder.qml")};
    std::unique_ptr<GlobalInputHooks> m_hooks;
    std::unique_ptr<QObject> m_captures;
    X11InputHooks *m_backend = nullptr;
};

QTEST_MAIN(tst_X11Hooks)
#include "tst_x11hooks.moc"
