#pragma once

#include <QList>
#include <QString>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>

// An open HID interface. Each backend derives its own and is only ever
// handed back the handles it opened.
class HidHandle
{
public:
    virtual ~HidHandle() = default;
};

class HidBackend;
class VirtualMouseBackend;

// Ends a blocking read from another thread. Raised, it stays raised until
// cleared; a backend's wait watches its descriptor (where the system has
// one) or registers a waker that is called on raise.
class HidStopSignal
{
public:
    HidStopSignal();
    ~HidStopSignal();
    HidStopSignal(const HidStopSignal &) = delete;
    HidStopSignal &operator=(const HidStopSignal &) = delete;

    void raise();
    void clear();
    bool isRaised() const { return m_raised; }
    // Readable while raised; -1 where the system has none.
    int descriptor() const { return m_fd; }
    // Called (once more) on every raise while set; cleared with nullptr.
    void setWaker(std::function<void()> waker);

private:
    std::atomic<bool> m_raised{false};
    int m_fd = -1;
    std::mutex m_wakerMutex;
    std::function<void()> m_waker;
};

// Closes a handle through the backend that opened it.
struct HidHandleCloser
{
    HidBackend *backend = nullptr;
    void operator()(HidHandle *handle) const;
};
using HidHandlePtr = std::unique_ptr<HidHandle, HidHandleCloser>;

struct HidInterfaceInfo
{
    QString path;
    unsigned short usagePage = 0;
    unsigned short usage = 0;
};

// The HID calls the device link makes, mirroring hidapi: results follow
// hidapi's convention (negative for failure; read with time-out gives 0 when
// nothing arrived). A backend is used from the GUI thread and from the event
// listener's thread at once, on different handles.
class HidBackend
{
public:
    virtual ~HidBackend() = default;

    // Interfaces of devices with this vendor and product id; 0 matches any.
    virtual QList<HidInterfaceInfo> enumerate(unsigned short vid, unsigned short pid) = 0;
    // Null when the interface cannot be opened; closed when released.
    virtual HidHandlePtr open(const QString &path) = 0;
    virtual int setNonblocking(HidHandle *handle, int nonblock) = 0;
    virtual int sendFeatureReport(HidHandle *handle, const unsigned char *data,
                                  std::size_t length) = 0;
    virtual int getFeatureReport(HidHandle *handle, unsigned char *data, std::size_t length) = 0;
    virtual int write(HidHandle *handle, const unsigned char *data, std::size_t length) = 0;
    virtual int read(HidHandle *handle, unsigned char *data, std::size_t length) = 0;
    virtual int readTimeout(HidHandle *handle, unsigned char *data, std::size_t length,
                            int milliseconds) = 0;
    // Waits for one input report without waking meanwhile: its length, 0
    // once `stop` is raised, negative when the device is gone or failed.
    // This fallback polls in half-second reads.
    virtual int readUntilStopped(HidHandle *handle, unsigned char *data, std::size_t length,
                                 HidStopSignal &stop);
    // Whether the interface at `path` exists but this user may not open it
    // (a device node without the udev rule). Asked after an open failed.
    virtual bool isAccessDenied(const QString &path)
    {
        Q_UNUSED(path)
        return false;
    }

    // The virtual mouse when SKARN_VIRTUAL_MOUSE is "553" or "560",
    // otherwise the system's devices through hidapi. The virtual mouse
    // writes its record to the file SKARN_VIRTUAL_MOUSE_RECORD names and,
    // with SKARN_VIRTUAL_MOUSE_ACCESS=denied, refuses to be opened as a
    // device node without the udev rule would.
    static std::unique_ptr<HidBackend> fromEnvironment();
    // Also run on each virtual mouse backend fromEnvironment() makes: the
    // builds the tests drive attach their fault files there.
    using VirtualMouseSetup = void (*)(VirtualMouseBackend &backend);
    static void setVirtualMouseSetup(VirtualMouseSetup setup);
    // The family SKARN_VIRTUAL_MOUSE asks for, or an empty text.
    static QString virtualFamilyFromEnvironment();

protected:
    HidHandlePtr adopt(HidHandle *handle) { return HidHandlePtr(handle, HidHandleCloser{this}); }

private:
    friend struct HidHandleCloser;
    virtual void close(HidHandle *handle) = 0;
};
