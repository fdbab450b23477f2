#include "devicedetector.h"

#include "devicelog.h"
#include "langstrings.h"
#include "myqquickview.h"
#include "session.h"
#include "storelog.h"
#include "usertexts.h"
#include "widget.h"

#include <QDebug>
#include <QTimer>
#include <limits>

const char *const DeviceDetector::accessDeniedFallback =
    "Access to the mouse was denied. Install the udev rule 70-skarn-config.rules "
    "(cmake --install does), then plug the mouse in again.";

DeviceDetector::DeviceDetector(Widget &window, Session &session)
    : m_window(window), m_session(session)
{}

void DeviceDetector::checkDevice(const std::function<void()> &found)
{
    // A pass asked for already covers this one; it runs once what the link
    // does before it has ended, never in the middle of a transfer.
    if (m_passPending)
        return;
    m_passPending = true;
    m_lastPass.start();
    m_session.detect([this, found](const Detection::Result &result, bool damagedTable) {
        m_passPending = false;
        if (found)
            found();
        present(result, damagedTable);
    });
}

qint64 DeviceDetector::msSinceLastPass() const
{
    return m_lastPass.isValid() ? m_lastPass.elapsed() : std::numeric_limits<qint64>::max();
}

void DeviceDetector::present(const Detection::Result &result, bool damagedTable)
{
    if (damagedTable && !m_damagedTableShown) {
        m_damagedTableShown = true;
        qCWarning(lcStore, "Damaged device table: using the factory table");
        m_window.view()->refuse(UserTexts::DamagedDeviceTable);
    }
    if (result.connected) {
        connectDevice();
        return;
    }
    disconnectDevice();
    if (m_session.accessDenied())
        reportAccessDenied(result.deniedPath);
}

QString DeviceDetector::accessDeniedText() const
{
    const QStringList texts =
        LangStrings::read(m_session.store().root(), QStringLiteral("other"), m_session.language());
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

void DeviceDetector::connectDevice()
{
    // This pass covers the device changes still waiting for theirs (a
    // plug-in seen while the shown window looked again): another pass would
    // connect the mouse a second time, with a second balloon and the
    // start-up exchanges again.
    m_window.detectionTimer()->stop();
    m_window.showTrayMessage(m_window.trayText(Widget::InfoTitle),
                             m_window.trayText(Widget::DetectDeviceText));
    m_window.startScene();
    m_window.updateConnectionState();
}

void DeviceDetector::disconnectDevice()
{
    qCInfo(lcDevice, "Device DisConnect");
    // A window the user opened stays and says why it has nothing to show:
    // hidden here, it vanished whenever a pass found no mouse, for example
    // the one that runs while a mouse being plugged in is not yet ready.
    m_window.updateConnectionState();
}
