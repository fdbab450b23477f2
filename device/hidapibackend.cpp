#include "hidapibackend.h"

#include <hidapi.h>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

namespace {
struct HidapiHandle : HidHandle
{
    explicit HidapiHandle(hid_device *d) : device(d) {}
    hid_device *device;
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
    hid_device *d = hid_open_path(path.toLocal8Bit().constData());
    return adopt(d ? new HidapiHandle(d) : nullptr);
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

void HidapiBackend::close(HidHandle *handle)
{
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
