#include "eventfilterinputhooks.h"

#include "evdevscancodes.h"
#include "globalinputhooks.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
// Native scan codes of the Linux platforms are X / xkb keycodes.
constexpr quint32 evdevOffset = 8;

std::uint32_t mouseMessage(QEvent::Type type, Qt::MouseButton button)
{
    int column;
    if (type == QEvent::MouseButtonPress)
        column = 0;
    else if (type == QEvent::MouseButtonRelease)
        column = 1;
    else if (type == QEvent::MouseButtonDblClick)
        column = 2;
    else
        return 0;
    switch (button) {
    case Qt::LeftButton:
        return GlobalInputHooks::LeftButtonDown + column;
    case Qt::RightButton:
        return GlobalInputHooks::RightButtonDown + column;
    case Qt::MiddleButton:
        return column == 2 ? 0 : GlobalInputHooks::MiddleButtonDown + column;
    default:
        return 0;
    }
}
} // namespace

bool EventFilterInputHooks::install(Hook hook, GlobalInputHooks &sink)
{
    if (!QCoreApplication::instance())
        return false;
    m_sink = &sink;
    (hook == Keyboard ? m_keyboard : m_mouse) = true;
    updateFilter();
    return true;
}

void EventFilterInputHooks::remove(Hook hook)
{
    (hook == Keyboard ? m_keyboard : m_mouse) = false;
    updateFilter();
}

void EventFilterInputHooks::updateFilter()
{
    QCoreApplication *application = QCoreApplication::instance();
    const bool wanted = (m_keyboard || m_mouse) && application;
    if (wanted == m_filtering)
        return;
    if (wanted)
        application->installEventFilter(this);
    else if (application)
        application->removeEventFilter(this);
    m_filtering = wanted;
}

bool EventFilterInputHooks::eventFilter(QObject *watched, QEvent *event)
{
    // The window system delivers to a window, spontaneously; the copies that
    // Qt then passes on to widgets and to the scene's own window are not
    // counted again.
    if (!m_sink || !event->spontaneous() || !watched->isWindowType())
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!m_keyboard || key->isAutoRepeat() || key->nativeScanCode() < evdevOffset)
            break;
        const EvdevScanCodes::ScanCode code =
            EvdevScanCodes::forEvdev(key->nativeScanCode() - evdevOffset);
        if (code.scan)
            m_sink->keyboardEvent(code.scan,
                                  code.extended ? std::uint32_t(GlobalInputHooks::Extended) : 0u,
                                  event->type() == QEvent::KeyPress);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const std::uint32_t message = mouseMessage(event->type(), mouse->button());
        if (m_mouse && message) {
            const QPoint global = mouse->globalPosition().toPoint();
            m_sink->mouseMessage(message, global.x(), global.y());
        }
        break;
    }
    default:
        break;
    }
    return false;
}
