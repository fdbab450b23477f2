#include "hidbackend.h"

#include "hidapibackend.h"
#include "virtualmouse.h"

#ifdef Q_OS_LINUX
#include <cerrno>
#include <poll.h>
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

#ifdef Q_OS_LINUX
int readDescriptorUntilStopped(int fd, unsigned char *data, std::size_t length, HidStopSignal &stop)
{
    for (;;) {
        if (stop.isRaised())
            return 0;
        pollfd fds[2] = {{fd, POLLIN, 0}, {stop.descriptor(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (fds[1].revents & POLLIN)
            return 0;
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))
            return -1; // unplugged
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(fd, data, length);
            if (n >= 0)
                return int(n);
            if (errno != EAGAIN && errno != EINTR)
                return -1;
        }
    }
}
#endif

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
