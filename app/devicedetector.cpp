#include "devicedetector.h"

#include "devicelog.h"
#include "deviceoperations.h"
#include "devicetablefile.h"
#include "hid_thread.h"
#include "hidbackend.h"
#include "myqquickview.h"
#include "processstate.h"
#include "settingkeys.h"
#include "storelog.h"
#include "widget.h"

#include <QDebug>
#include <QTimer>
#include <limits>

const char *const DeviceDetector::accessDeniedFallback =
    "Access to the mouse was denied. Install the udev rule 70-skarn-config.rules "
    "(cmake --install does), then plug the mouse in again.";

DeviceDetector::DeviceDetector(Widget &window, HidBackend *backend, Hid_Thread &link)
    : m_window(window), m_backend(backend), m_link(link)
{}

void DeviceDetector::findInterfaces(DeviceTable &table) const
{
    if (!m_backend)
        return;
    for (DeviceEntry &entry : table) {
        for (const HidInterfaceInfo &info : m_backend->enumerate(entry.vid, entry.pid)) {
            if (info.usagePage == entry.usagePage && info.usage == entry.usage)
                entry.interfacePath1 = info.path;
            if (info.usagePage == entry.usagePage2 && info.usage == entry.usage2)
                entry.interfacePath2 = info.path;
        }
    }
}

void DeviceDetector::checkDevice(const std::function<void()> &beforeScene)
{
    // A pass fired from the events a transfer lets run would find the link
    // busy and drop the mouse mid-transfer: it runs when the link is free.
    if (!m_link.linkFree()) {
        if (beforeScene)
            beforeScene();
        if (!m_waitingForLink) {
            m_waitingForLink = true;
            QObject::connect(
                &m_link, &Hid_Thread::linkReleased, &m_window,
                [this] {
                    m_waitingForLink = false;
                    checkDevice();
                },
                Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        }
        return;
    }
    m_lastPass.start();
    const Probe found = probe();
    if (beforeScene)
        beforeScene();
    present(found);
}

qint64 DeviceDetector::msSinceLastPass() const
{
    return m_lastPass.isValid() ? m_lastPass.elapsed() : std::numeric_limits<qint64>::max();
}

DeviceDetector::Probe DeviceDetector::probe()
{
    Probe found;
    DeviceTable table = DeviceTableFile::load(&found.damagedTable);
    findInterfaces(table);
    m_link.setDeviceTable(table);
    m_accessDenied = false;
    for (int j = 0; j < table.size(); ++j) {
        if (table.at(j).interfacePath1.isEmpty())
            continue;
        if (confirm(j)) {
            startConnection();
            found.connected = true;
            return found;
        }
        if (found.deniedPath.isEmpty() && isAccessDenied(table.at(j)))
            found.deniedPath = table.at(j).interfacePath1;
    }
    m_accessDenied = !found.deniedPath.isEmpty();
    return found;
}

void DeviceDetector::present(const Probe &found)
{
    if (found.damagedTable && !m_damagedTableShown) {
        m_damagedTableShown = true;
        qCWarning(lcStore, "Damaged device table: using the factory table");
        m_window.view()->refuse(myQQuickView::DamagedDeviceTable);
    }
    if (found.connected) {
        connectDevice();
        return;
    }
    disconnectDevice();
    if (m_accessDenied)
        reportAccessDenied(found.deniedPath);
}

bool DeviceDetector::confirm(int index)
{
    if (m_link.chkDeviceIsEnCode(index))
        return true;
    for (int pauseMs : identityRetryPausesMs) {
        // An answer that came but was wrong is not retried, nor a device
        // that is gone (a failed open empties the path).
        if (m_link.lastExchangeOk() || m_link.deviceTable().value(index).interfacePath1.isEmpty())
            return false;
        m_link.pause(pauseMs);
        if (m_link.chkDeviceIsEnCode(index))
            return true;
    }
    return false;
}

bool DeviceDetector::isAccessDenied(const DeviceEntry &entry) const
{
    return m_backend &&
           (m_backend->isAccessDenied(entry.interfacePath1) ||
            (!entry.interfacePath2.isEmpty() && m_backend->isAccessDenied(entry.interfacePath2)));
}

QString DeviceDetector::accessDeniedText() const
{
    myQQuickView *view = m_window.view();
    const QString language = view->getGlobalData(SettingKeys::commonLanguage).toString();
    const QStringList texts = view->getLangStrings(QStringLiteral("other"), language);
    if (texts.size() > accessDeniedTextIndex && !texts.at(accessDeniedTextIndex).isEmpty())
        return texts.at(accessDeniedTextIndex);
    return QString::fromLatin1(accessDeniedFallback);
}

void DeviceDetector::reportAccessDenied(const QString &path)
{
    qCWarning(lcDevice).noquote() << "Access denied:" << path;
    // Every device change runs a pass; the balloon would come back each time.
    if (m_accessDeniedShown)
        return;
    m_accessDeniedShown = true;
    m_window.showTrayMessage(m_window.trayText(Widget::InfoTitle), accessDeniedText());
}

void DeviceDetector::startConnection()
{
    qCInfo(lcDevice, "Device Connect");
    myQQuickView *view = m_window.view();
    view->clearHidBusy();
    // Blocks read from an earlier device say nothing of this one.
    view->deviceOperations().forgetDeviceProfiles();
    processState.deviceConnected = true;
    m_link.startEventListener(uint(m_link.currentIndex()));
    view->deviceOperations().readDeviceProfiles();
}

void DeviceDetector::connectDevice()
{
    // This pass covers the device changes still waiting for theirs (a
    // plug-in seen while the shown window looked again): another pass would
    // connect the mouse a second time, with a second balloon and the
    // start-up exchanges again.
    m_window.detectionTimer()->stop();
    m_window.showTrayMessage(m_window.trayText(Widget::InfoTitle),
                             m_window.trayText(Widget::DetectDeviceText));
    m_window.view()->setDevicePresent(true);
    m_window.startScene();
    m_window.updateConnectionState();
}

void DeviceDetector::disconnectDevice()
{
    qCInfo(lcDevice, "Device DisConnect");
    processState.deviceConnected = false;
    // A window the user opened stays and says why it has nothing to show:
    // hidden here, it vanished whenever a pass found no mouse, for example
    // the one that runs while a mouse being plugged in is not yet ready.
    m_window.updateConnectionState();
}
