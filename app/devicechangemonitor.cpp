#include "devicechangemonitor.h"

#include "applog.h"
#include "virtualmouse.h"

#include <QDebug>
#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <libudev.h>
#endif

DeviceChangeMonitor::DeviceChangeMonitor(HidBackend *backend, QObject *parent) : QObject(parent)
{
    if (auto *mice = dynamic_cast<VirtualMouseBackend *>(backend))
        connect(mice, &VirtualMouseBackend::devicesChanged, this,
                &DeviceChangeMonitor::deviceChanged);
    else
        watchSystem();
}

DeviceChangeMonitor::~DeviceChangeMonitor()
{
    delete m_notifier;
#ifdef Q_OS_LINUX
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
#endif
}

void DeviceChangeMonitor::watchSystem()
{
#ifdef Q_OS_LINUX
    m_udev = udev_new();
    udev_monitor *monitor = m_udev ? udev_monitor_new_from_netlink(m_udev, "udev") : nullptr;
    if (!monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        if (monitor)
            udev_monitor_unref(monitor);
        qCInfo(lcApp, "Device changes are not watched: no udev monitor");
        return;
    }
    m_monitor = monitor;
    m_notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read);
    connect(m_notifier, &QSocketNotifier::activated, this, &DeviceChangeMonitor::drainSystemEvents);
#endif
}

void DeviceChangeMonitor::drainSystemEvents()
{
#ifdef Q_OS_LINUX
    bool changed = false;
    while (udev_device *device = udev_monitor_receive_device(m_monitor)) {
        udev_device_unref(device);
        changed = true;
    }
    if (changed)
        emit deviceChanged();
#endif
}
