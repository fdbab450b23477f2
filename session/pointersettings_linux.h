#pragma once

#include "pointersettings.h"

#include <QDBusConnection>
#include <QString>

// The running desktop's own mouse settings, picked by XDG_CURRENT_DESKTOP
// rather than by whichever schemas happen to be installed:
// - GNOME and its relatives: GSettings (speed and double-click);
// - KDE Plasma: KWin's input devices over D-Bus for the speed, and the
//   double-click interval in kdeglobals;
// - any other X11 session: X pointer acceleration for the speed only;
// - any other Wayland session: nothing (the X server of its X11 programs
//   would take the acceleration and the pointer would not follow).
// Every write is read back; a value the desktop did not keep is a failure.
// No Linux desktop has a desktop-wide wheel scroll amount.
class LinuxPointerSettings : public PointerSettings
{
public:
    enum class Desktop { Gnome, Kde, X11, OtherWayland };

    explicit LinuxPointerSettings(Desktop desktop);

    // From XDG_CURRENT_DESKTOP, such as "ubuntu:GNOME" or "KDE", and
    // XDG_SESSION_TYPE.
    static Desktop desktopFor(const QString &currentDesktop,
                              const QString &sessionType = QString());
    Desktop desktop() const { return m_desktop; }

    // GNOME: the schema and, in tests, a GSettings backend (GSettingsBackend
    // *) of their own in place of the default one.
    void setGnomeSchema(const QString &schemaId, void *backend = nullptr);
    // KDE: the session bus and the kdeglobals file to use.
    void setKdeSession(const QDBusConnection &bus, const QString &kdeGlobalsPath);

    bool setPointerSpeed(int speed) override;
    bool setDoubleClickTime(int milliseconds) override;
    bool setWheelScrollLines(unsigned lines) override;
    bool canSet(Setting setting) const override;

    // GNOME's speed runs from -1 (slowest) to 1 (fastest), 0 being neutral;
    // so does KWin's pointer acceleration.
    static double gnomeSpeed(int speed);

private:
    bool setKwinSpeed(int speed);
    bool setKdeDoubleClick(int milliseconds);

    Desktop m_desktop;
    QString m_schemaId;
    void *m_backend = nullptr;
    QDBusConnection m_bus;
    QString m_kdeGlobals;
};
