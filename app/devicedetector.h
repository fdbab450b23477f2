#pragma once

#include "detection.h"

#include <QElapsedTimer>
#include <QString>

#include <functional>

class Session;
class Widget;

// The window's side of a detection pass: the session finds the listed
// devices among the HID interfaces present and connects the first that
// answers, on the link's thread; this brings the window into the connected
// state (its scene started, the mouse's start-up exchanges run), or into
// the disconnected one (a shown window says why it is empty).
class DeviceDetector
{
public:
    // The access-denied notice: entry 8 of the language group "other", or
    // this text while the language file has none.
    static constexpr int accessDeniedTextIndex = 8;
    static const char *const accessDeniedFallback;

    DeviceDetector(Widget &window, Session &session);

    // A pass, unless one is already asked for. `found` runs once its result
    // is in, before anything of it reaches the window.
    void checkDevice(const std::function<void()> &found = {});

    // Milliseconds since the last pass began; very large before the first.
    qint64 msSinceLastPass() const;

    // The text of the access-denied notice in the current language.
    QString accessDeniedText() const;

private:
    void present(const Detection::Result &result, bool damagedTable);
    void connectDevice();
    void disconnectDevice();
    // Once per run: a listed mouse this user may not open.
    void reportAccessDenied(const QString &path);

    Widget &m_window;
    Session &m_session;
    bool m_passPending = false;
    bool m_accessDeniedShown = false;
    bool m_damagedTableShown = false;
    QElapsedTimer m_lastPass;
};
