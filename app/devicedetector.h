#pragma once

#include "deviceentry.h"

#include <QElapsedTimer>
#include <QString>

#include <functional>

class HidBackend;
class Hid_Thread;
class Widget;

// The detection pass: reads the device table afresh, finds the listed
// devices among the HID interfaces present, lets the device link confirm
// the first that answers and brings the program into the connected state,
// or into the disconnected one (a shown window says why it is empty).
class DeviceDetector
{
public:
    // The access-denied notice: entry 8 of the language group "other", or
    // this text while the language file has none.
    static constexpr int accessDeniedTextIndex = 8;
    // Pauses before the identity exchange is tried again, when its reply
    // was lost (a device that is still settling after a plug-in).
    static constexpr int identityRetryPausesMs[] = {100, 200, 400};
    static const char *const accessDeniedFallback;

    DeviceDetector(Widget &window, HidBackend *backend, Hid_Thread &link);

    // Fills in the interface paths; the last matching interface wins.
    void findInterfaces(DeviceTable &table) const;

    // `beforeScene` runs once the mouse has been found and its start-up
    // exchanges are done, before anything reaches the scene: the program's
    // start builds the scene there, so that the exchanges and their pauses
    // overlap the scene's loading.
    void checkDevice(const std::function<void()> &beforeScene = {});

    // The last pass found a listed mouse that this user may not open.
    bool accessDenied() const { return m_accessDenied; }

    // Milliseconds since the last pass began; very large before the first.
    qint64 msSinceLastPass() const;

    // The text of the access-denied notice in the current language.
    QString accessDeniedText() const;

private:
    // The identity exchange with entry `index`, tried again after a lost
    // reply while the interface is still there.
    bool confirm(int index);
    // The device side of a pass: which mouse answers, its start-up
    // exchanges. The scene side follows in present().
    struct Probe
    {
        bool connected = false;
        bool damagedTable = false;
        QString deniedPath;
    };
    Probe probe();
    void present(const Probe &probe);
    void startConnection();
    void connectDevice();
    void disconnectDevice();
    bool isAccessDenied(const DeviceEntry &entry) const;
    // Once per run: a listed mouse this user may not open.
    void reportAccessDenied(const QString &path);

    Widget &m_window;
    HidBackend *m_backend;
    Hid_Thread &m_link;
    bool m_accessDeniedShown = false;
    bool m_waitingForLink = false;
    bool m_accessDenied = false;
    bool m_damagedTableShown = false;
    QElapsedTimer m_lastPass;
};
