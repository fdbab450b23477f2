#pragma once

#include <QEvent>

// A request to the main window carried through the GUI event queue, so it
// runs after everything posted before it.
class UserEvent : public QEvent
{
public:
    static constexpr QEvent::Type eventType = QEvent::User; // 1000
    static constexpr int runScene = 2177;

    explicit UserEvent(int code) : QEvent(eventType), m_code(code) {}
    int code() const { return m_code; }

private:
    int m_code;
};
