#pragma once

#include "deviceentry.h"
#include "hidbackend.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QWaitCondition>
#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

// An emulation of the mouse firmware of family 553 or 560, answering on the
// two HID interfaces of its device table row. It checks what a real firmware
// would (report sizes, checksums, data lengths), keeps the state the
// commands set, answers queries from it and records every report it
// receives. Used by the tests and, through SKARN_VIRTUAL_MOUSE, by the demo.
// All members are safe to call from any thread.
class VirtualMouse
{
public:
    enum class Channel { Feature, Output };
    struct Received
    {
        qint64 msecs;     // since the mouse was made
        Channel channel;  // feature report (command) or output report (data)
        QByteArray bytes; // as they arrived, report ID first
        QByteArray plain; // feature reports: bytes after unscrambling
    };

    // What the commands set. Key matrices and macros by their 1-based number.
    struct State
    {
        QByteArray keyboardOption = QByteArray(4, '\0');
        uchar reportRate = 1;
        uchar currentKeyMatrix = 0;
        QByteArray gunData = QByteArray(4, '\0');
        uchar currentDpi = 1;
        QByteArray fixColor = QByteArray(3, '\0');
        QByteArray ledEffect = QByteArray(3, '\0');
        uchar led8Type = 0;
        QByteArray stageColors = QByteArray(24, '\0');
        uchar dpiStageCount = 0;
        QByteArray dpiCodes = QByteArray(8, '\0');
        QMap<int, QByteArray> keyMatrices;
        QMap<int, QByteArray> macros;
        // Family 560: the current profile, per-profile rate and DPI stage,
        // and the five 128-byte profile blocks.
        uchar currentProfile = 1;
        QByteArray profileRate = QByteArray(5, '\0');
        QByteArray profileDpiStage = QByteArray(5, '\0');
        QList<QByteArray> profiles;
    };

    static constexpr int profileBlockSize = 128;
    static constexpr int profileCount = 5;

    // `family` is 553 or 560.
    explicit VirtualMouse(int family, const DeviceEntry &row = factoryRow());

    // The row of the delivered device table.
    static DeviceEntry factoryRow();

    int family() const { return m_family; }
    DeviceEntry row() const { return m_row; }

    void unplug();
    void plugIn();
    bool isPluggedIn() const;
    // Pulls the plug right after `reports` more reports have arrived.
    void unplugAfterReports(int reports);

    // Presses the DPI button: the mouse moves to `stage` and, when the event
    // reports are enabled, sends 06 07 00 stage. Returns whether it sent.
    bool pressDpiButton(int stage);
    // Sends any report on the event interface.
    void sendEventReport(const QByteArray &report);
    bool eventReportsEnabled() const;

    // Test-only faults: Silent answers nothing (writes and feature reports
    // fail as on a firmware that hangs), DropReply loses the next reply
    // only, DropReport the next report sent to it only, Garbage answers with
    // wrong bytes. With `afterReports`, the fault begins once that many more
    // reports have arrived.
    enum class Fault { None, Silent, DropReply, Garbage, DropReport };
    void setFault(Fault fault, int afterReports = 0);

    // Faults for tests: a mouse that fails every feature read, and replies
    // replaced by fixed bytes (garbage, or fewer than 9).
    void setAnswering(bool answering);
    void setReplyOverride(const QByteArray &reply);
    // A mouse whose device nodes this user may not open: it is listed,
    // but every open fails as access denied.
    void setAccessDenied(bool denied);
    bool isAccessDenied() const;

    // Also appends every received report to `path`, one line each:
    // "<msecs> feature|output <bytes in hex>", feature reports as plain
    // bytes. For checks from outside the process.
    void setRecordFile(const QString &path);
    QString recordFilePath() const;

    QList<Received> received() const;
    // Only the command reports, as plain bytes.
    QList<QByteArray> commands() const;
    void clearRecord();
    QStringList protocolErrors() const;
    int openCount() const;
    // Handles of the mouse opened and not yet closed.
    int openHandles() const;

    State state() const;
    void setProfileBlock(int n, const QByteArray &block);

private:
    friend class VirtualMouseBackend;
    struct Pending
    {
        QByteArray command; // plain command report
        int expected = 0;
        QByteArray data;
    };

    bool isValid(quint64 generation) const { return m_plugged && generation == m_generation; }
    void record(Channel channel, const QByteArray &bytes, const QByteArray &plain);
    // Whether the report now sent is lost (the mutex held).
    bool dropsReport();
    void countReport();
    void unplugLocked();
    void handleCommand(const QByteArray &plain);
    void handleCommand553(const uchar *p);
    void handleCommand560(const uchar *p);
    void finishData();
    void setReply(uchar code, std::initializer_list<uchar> values);
    void error(const QString &text);

    const int m_family;
    const DeviceEntry m_row;
    std::array<uchar, 8> m_key{};
    std::function<void()> m_notify;

    mutable QMutex m_mutex;
    QWaitCondition m_inputArrived;
    QElapsedTimer m_clock;
    bool m_plugged = true;
    quint64 m_generation = 1;
    int m_unplugCountdown = 0;
    bool m_answering = true;
    Fault m_fault = Fault::None;
    Fault m_delayedFault = Fault::None;
    int m_faultCountdown = 0;
    bool m_accessDenied = false;
    QByteArray m_replyOverride;
    QByteArray m_reply;
    Pending m_pending;
    std::deque<QByteArray> m_input[2]; // per interface: command data, events
    QList<Received> m_received;
    std::unique_ptr<QFile> m_recordFile;
    QStringList m_errors;
    int m_openCount = 0;
    int m_openHandles = 0;
    State m_state;
};

// The virtual mice as a HID backend. Paths are "virtual:<mouse>:<interface>".
// Plugging a mouse in or out posts devicesChanged(), the counterpart of the
// system's device-change notification.
class VirtualMouseBackend : public QObject, public HidBackend
{
    Q_OBJECT
public:
    explicit VirtualMouseBackend(QObject *parent = nullptr);
    ~VirtualMouseBackend() override;

    VirtualMouse &addMouse(int family, const DeviceEntry &row = VirtualMouse::factoryRow());
    VirtualMouse &mouse(int index = 0) { return *m_mice.at(std::size_t(index)); }
    int mouseCount() const { return int(m_mice.size()); }

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

signals:
    void devicesChanged();

private:
    void close(HidHandle *handle) override;
    // A read that also ends, with 0, once `stop` is raised.
    int readOrStop(HidHandle *handle, unsigned char *data, std::size_t length, int milliseconds,
                   const HidStopSignal *stop);
    // The mouse a "virtual:<mouse>:<interface>" path names, or none.
    VirtualMouse *mouseOfPath(const QString &path, int *interface = nullptr);

    std::vector<std::unique_ptr<VirtualMouse>> m_mice;
};
