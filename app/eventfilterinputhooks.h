#pragma once

#include "inputhookbackend.h"

#include <QObject>

// Capture where no X display answers (a pure Wayland session): an
// application-wide event filter sees the key and button events of the
// program's own windows only. Each event is taken once, where the window
// system hands it to a window.
class EventFilterInputHooks : public QObject, public InputHookBackend
{
    Q_OBJECT
public:
    const char *name() const override { return "event filter"; }
    bool install(Hook hook, GlobalInputHooks &sink) override;
    void remove(Hook hook) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateFilter();

    GlobalInputHooks *m_sink = nullptr;
    bool m_keyboard = false;
    bool m_mouse = false;
    bool m_filtering = false;
};
