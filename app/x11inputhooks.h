#pragma once

#include "inputhookbackend.h"

#include <QObject>
#include <memory>

class QSocketNotifier;
struct xcb_connection_t;

// Global capture on X11: XInput 2 raw key and button events selected on the
// root window, which the server sends whichever window has the focus. They
// arrive on a connection of our own, watched by a socket notifier, so the
// program sleeps until input comes.
class X11InputHooks : public QObject, public InputHookBackend
{
    Q_OBJECT
public:
    // Null when no X display answers or it lacks XInput 2.
    static std::unique_ptr<X11InputHooks> open();
    ~X11InputHooks() override;

    const char *name() const override { return "x11"; }
    bool install(Hook hook, GlobalInputHooks &sink) override;
    void remove(Hook hook) override;

    // The XInput 2 event bits the server holds selected for this connection
    // on the root window, as it answers; 0 for none or no answer.
    std::uint32_t selectedEvents() const;

    // X core button numbers (1 left, 2 middle, 3 right) as mouse messages;
    // 0 for the wheel and the side buttons.
    static std::uint32_t buttonMessage(std::uint32_t button, bool down);

private:
    X11InputHooks(xcb_connection_t *connection, std::uint32_t root, std::uint8_t opcode);
    bool select();
    void readEvents();
    void handleEvent(const void *event);

    xcb_connection_t *m_connection;
    std::uint32_t m_root;
    std::uint8_t m_opcode;
    QSocketNotifier *m_notifier = nullptr;
    GlobalInputHooks *m_sink = nullptr;
    bool m_keyboard = false;
    bool m_mouse = false;
};
