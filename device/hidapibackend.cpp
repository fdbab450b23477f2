#include "hidapibackend.h"

#include <hidapi.h>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif

namespace {
struct HidapiHandle : HidHandle
{
    HidapiHandle(hid_device *d, const QByteArray &p) : device(d), path(p) {}
    hid_device *device;
    QByteArray path;
    // A descriptor of our own on the hidraw node for waiting in poll(),
    // which hidapi does not offer; opened at the first wait.
    int waitFd = -1;
};

hid_device *device(HidHandle *handle)
{
    return handle ? static_cast<HidapiHandle *>(handle)->device : nullptr;
}
} // namespace

HidapiBackend::HidapiBackend()
{
    // hidapi initialises itself lazily on first use, which is not safe when
    // two threads get there at once.
    hid_init();
}

HidapiBackend::~HidapiBackend()
{
    hid_exit();
}

QList<HidInterfaceInfo> HidapiBackend::enumerate(unsigned short vid, unsigned short pid)
{
    QList<HidInterfaceInfo> result;
    hid_device_info *list = hid_enumerate(vid, pid);
    for (hid_device_info *info = list; info; info = info->next)
        result.append({QString::fromLocal8Bit(info->path), info->usage_page, info->usage});
    hid_free_enumeration(list);
    return result;
}

HidHandlePtr HidapiBackend::open(const QString &path)
{
    const QByteArray node = path.toLocal8Bit();
    hid_device *d = hid_open_path(node.constData());
    return adopt(d ? new HidapiHandle(d, node) : nullptr);
}

int HidapiBackend::setNonblocking(HidHandle *handle, int nonblock)
{
    hid_device *d = device(handle);
    return d ? hid_set_nonblocking(d, nonblock) : -1;
}

int HidapiBackend::sendFeatureReport(HidHandle *handle, const unsigned char *data,
                                     std::size_t length)
{
    hid_device *d = device(handle);
    return d ? hid_send_feature_report(d, data, length) : -1;
}

int HidapiBackend::getFeatureReport(HidHandle *handle, unsigned char *data, std::size_t length)
{
    hid_device *d = device(handle);
    return d ? hid_get_feature_report(d, data, length) : -1;
}

int HidapiBackend::write(HidHandle *handle, const unsigned char *data, std::size_t length)
{
    hid_device *d = device(handle);
    return d ? hid_write(d, data, length) : -1;
}

int HidapiBackend::read(HidHandle *handle, unsigned char *data, std::size_t length)
{
    hid_device *d = device(handle);
    return d ? hid_read(d, data, length) : -1;
}

int HidapiBackend::readTimeout(HidHandle *handle, unsigned char *data, std::size_t length,
                               int milliseconds)
{
    hid_device *d = device(handle);
    return d ? hid_read_timeout(d, data, length, milliseconds) : -1;
}

int HidapiBackend::readUntilStopped(HidHandle *handle, unsigned char *data, std::size_t length,
                                    HidStopSignal &stop)
{
#ifdef Q_OS_LINUX
    auto *h = static_cast<HidapiHandle *>(handle);
    if (h && h->waitFd < 0 && stop.descriptor() >= 0 && h->path.startsWith("/dev/hidraw"))
        h->waitFd = ::open(h->path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (!h || h->waitFd < 0)
        return HidBackend::readUntilStopped(handle, data, length, stop);
    // hidraw queues every report for every open descriptor, so reading our
    // own gives the same reports hid_read() would.
    return readDescriptorUntilStopped(h->waitFd, data, length, stop);
#else
    return HidBackend::readUntilStopped(handle, data, length, stop);
#endif
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

void HidapiBackend::close(HidHandle *handle)
{
#ifdef Q_OS_UNIX
    if (handle && static_cast<HidapiHandle *>(handle)->waitFd >= 0)
        ::close(static_cast<HidapiHandle *>(handle)->waitFd);
#endif
    if (hid_device *d = device(handle))
        hid_close(d);
    delete static_cast<HidapiHandle *>(handle);
}

bool HidapiBackend::isAccessDenied(const QString &path)
{
#ifdef Q_OS_UNIX
    // hidraw paths are device nodes; the open failed for this user when the
    // node is there but not readable and writable by them.
    const QByteArray node = path.toLocal8Bit();
    return ::access(node.constData(), R_OK | W_OK) != 0 && errno == EACCES;
#else
    Q_UNUSED(path)
    return false;
#endif
}
