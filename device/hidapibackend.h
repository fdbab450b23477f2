#pragma once

#include "hidbackend.h"

// The system's HID devices through hidapi.
class HidapiBackend : public HidBackend
{
public:
    HidapiBackend();
    ~HidapiBackend() override;

    QList<HidInterfaceInfo> enumerate(unsigned short vid, unsigned short pid) override;
    HidHandlePtr open(const QString &path) override;
    int setNonblocking(HidHandle *handle, int nonblock) override;
    int sendFeatureReport(HidHandle *handle, const unsigned char *data,
                          std::size_t length) override;
    int getFeatureReport(HidHandle *handle, unsigned char *data, std::size_t length) override;
    int write(HidHandle *handle, const unsigned char *data, std::size_t length) override;
    int read(HidHandle *handle, unsigned char *data, std::size_t length) override;
    int readTimeout(HidHandle *handle, unsigned char *data, std::size_t length,
                    int milliseconds) override;
    int readUntilStopped(HidHandle *handle, unsigned char *data, std::size_t length,
                         HidStopSignal &stop) override;
    bool isAccessDenied(const QString &path) override;

private:
    void close(HidHandle *handle) override;
};

#ifdef Q_OS_LINUX
// One report from `fd`, a non-blocking descriptor of a hidraw node, waiting in
// poll() without a timeout: its length, 0 once `stop` is raised, -1 when the
// node goes away (unplugged) or fails.
int readDescriptorUntilStopped(int fd, unsigned char *data, std::size_t length,
                               HidStopSignal &stop);
#endif
