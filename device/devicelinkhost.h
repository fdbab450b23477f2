#pragma once

#include <QString>

// What the device link needs from the window around it.
class DeviceLinkHost
{
public:
    virtual ~DeviceLinkHost() = default;

    // Passes a DPI stage reported by the mouse on to the scene. Called on the
    // event listener's thread: the implementation queues the scene call to
    // the GUI thread, so it lands before anything the listener posts after.
    virtual void setCurrentDPI(int stage) = 0;
    // GUI thread: the mouse is gone; the screens must not be used.
    virtual void disableView() = 0;
    // GUI thread: an information balloon of the tray icon, 10 s.
    virtual void showTrayMessage(const QString &title, const QString &text) = 0;
};
