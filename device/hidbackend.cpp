#include "hidbackend.h"

#include "hidapibackend.h"
#include "virtualmouse.h"

#ifdef Q_OS_LINUX
#include <sys/eventfd.h>
#include <unistd.h>
#endif

HidStopSignal::HidStopSignal()
{
#ifdef Q_OS_LINUX
    m_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
#endif
}

HidStopSignal::~HidStopSignal()
{
#ifdef Q_OS_LINUX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void HidStopSignal::raise()
{
    m_raised = true;
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        const quint64 one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_fd, &one, sizeof one);
    }
#endif
    std::lock_guard<std::mutex> lock(m_wakerMutex);
    if (m_waker)
        m_waker();
}

void HidStopSignal::clear()
{
    m_raised = false;
#ifdef Q_OS_LINUX
    quint64 count = 0;
    if (m_fd >= 0) [[maybe_unused]]
        const ssize_t read = ::read(m_fd, &count, sizeof count);
#endif
}

void HidStopSignal::setWaker(std::function<void()> waker)
{
    std::lock_guard<std::mutex> lock(m_wakerMutex);
    m_waker = std::move(waker);
}

int HidBackend::readUntilStopped(HidHandle *handle, unsigned char *data, std::size_t length,
                                 HidStopSignal &stop)
{
    while (!stop.isRaised()) {
        const int n = readTimeout(handle, data, length, 500);
        if (n != 0)
            return n;
    }
    return 0;
}

void HidHandleCloser::operator()(HidHandle *handle) const
{
    if (handle && backend)
        backend->close(handle);
}

namespace {
HidBackend::VirtualMouseSetup virtualMouseSetup = nullptr;
}

void HidBackend::setVirtualMouseSetup(VirtualMouseSetup setup)
{
    virtualMouseSetup = setup;
}

QString HidBackend::virtualFamilyFromEnvironment()
{
    const QString family = qEnvironmentVariable("SKARN_VIRTUAL_MOUSE");
    return family == QLatin1String("553") || family == QLatin1String("560") ? family : QString();
}

std::unique_ptr<HidBackend> HidBackend::fromEnvironment()
{
    const QString family = virtualFamilyFromEnvironment();
    if (family.isEmpty())
        return std::make_unique<HidapiBackend>();
    auto backend = std::make_unique<VirtualMouseBackend>();
    VirtualMouse &mouse = backend->addMouse(family.toInt());
    const QString recordFile = qEnvironmentVariable("SKARN_VIRTUAL_MOUSE_RECORD");
    if (!recordFile.isEmpty())
        mouse.setRecordFile(recordFile);
    if (qEnvironmentVariable("SKARN_VIRTUAL_MOUSE_ACCESS") == QLatin1String("denied"))
        mouse.setAccessDenied(true);
    if (virtualMouseSetup)
        virtualMouseSetup(*backend);
    return backend;
}
