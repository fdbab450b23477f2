#pragma once

#include <QObject>

class HidBackend;
class QSocketNotifier;
struct udev;
struct udev_monitor;

// Reports that a HID device came or went: udev's hidraw events on Linux, or
// the virtual mouse being plugged in or out. (Windows reports the change as
// a window message to the main window.)
class DeviceChangeMonitor : public QObject
{
    Q_OBJECT
public:
    explicit DeviceChangeMonitor(HidBackend *backend, QObject *parent = nullptr);
    ~DeviceChangeMonitor() override;

signals:
    void deviceChanged();

private:
    void watchSystem();
    void drainSystemEvents();

    struct udev *m_udev = nullptr;
    struct udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};
