#pragma once

#include "deviceentry.h"
#include "hidbackend.h"
#include "protocol.h"

#include <QElapsedTimer>
#include <QFuture>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <array>
#include <atomic>
#include <deque>
#include <functional>

class DeviceLinkHost;

// The device link: the device table handed over by detection, the command
// transport to the served mouse, both command sets and the event listener.
// Its own thread runs the work posted to it, one piece after the other in
// the order posted, and sleeps the protocol's pauses there, so that nobody
// else waits for the mouse. The commands run on whichever thread calls them
// (the link's own once it is started, a test's otherwise), never on two at
// once. The listener runs on a pool thread.
class Hid_Thread : public QThread
{
    Q_OBJECT
public:
    // Work for the link's thread. `run` runs there, after what was posted
    // before it; `drop` runs instead, on the thread that drops it, when it
    // is dropped before it started.
    struct Job
    {
        std::function<void()> run;
        std::function<void()> drop;
    };

    // Pause seam: every fixed pause of the transport goes through it.
    using Sleep = std::function<void(int milliseconds)>;
    // The four values of the identity exchange.
    using Draw = std::function<std::array<uchar, 4>()>;
    // Enables the served family's event reports; false when its keyboard
    // option could not be read (and so was left alone).
    using EventReportSwitch = bool (*)(Hid_Thread &link);

    // Waits this long for each data input report; the mouse answers at once.
    static constexpr int dataReadTimeoutMs = 1000;

    explicit Hid_Thread(HidBackend *backend = nullptr, DeviceLinkHost *host = nullptr);
    // Drops what is queued, lets the work in progress end and stops the
    // listener.
    ~Hid_Thread() override;

    // Queues `job` behind the others; from any thread. Without the thread
    // started it waits for start().
    void post(Job job);
    // Drops every job not yet started (each is told) and makes the one in
    // progress fail its remaining commands without sending them: it stops
    // between commands, never inside one. From any thread.
    void dropPending();
    // Jobs queued or in progress.
    int pendingJobs() const { return m_pending; }
    // Blocks until no job is in progress (for owners going away, after
    // dropPending()).
    void waitForIdle();

    HidBackend *backend() const { return m_backend; }
    void setHost(DeviceLinkHost *host) { m_host = host; }
    void setSleep(Sleep sleep);
    void setDraw(Draw draw);
    // Set by the family's device operations when they take the link;
    // without it the listener starts with the event reports as they are.
    void setEventReportSwitch(EventReportSwitch enable) { m_enableEventReports = enable; }
    // mouse/isGun: per-profile commands go to profile 1 only.
    void setGunDevice(bool isGun) { m_isGun = isGun; }

    // Detection hands over a new table for every pass.
    void setDeviceTable(const DeviceTable &table);
    DeviceTable deviceTable() const;
    int currentIndex() const { return m_currentIndex; }

    // Whether the last command went through whole: false when it was
    // refused, stopped or failed on the way.
    bool lastExchangeOk() const { return m_lastExchangeOk; }
    // Commands that did not go through whole, since the link was made.
    quint64 failedExchanges() const { return m_failedExchanges; }

    // A pause through the pause seam, for users of the link that wait on
    // the device (detection's back-off).
    void pause(int milliseconds) { m_sleep(milliseconds); }

    bool isListening() const { return m_listening; }
    // Tells the listener to stop; its wait for a report ends at once.
    void requestStop();
    // Tells it to stop and waits until it has ended.
    void stopEventListener();

public slots:
    uchar hidCS(uchar *pData);
    bool chkDeviceIsEnCode(int index);
    void USBDataEncryption(uchar *FIFOBuf, uchar *SecrecyCode);
    void USBDataDecipher(uchar *FIFOBuf, uchar *SecrecyCode);

    void hid553_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    void hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    void hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2);
    void hid560_82H_GetCurrentProfile(uchar &byte1);
    void hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2);
    void hid553_8BH_GetCurrentDPI(uchar &byte1);
    void hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2);
    void hid553_01H_SetReportRate(uchar rate);
    void hid560_03H_SetReportRate(uchar rate);
    void hid560_04H_SetCurrentDPI(uchar stage);
    void hid553_0BH_SetCurrentDPI(uchar stage);
    void hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne);
    void hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne);
    void hid560_0CH_setProfile(uchar *src128, uchar profileData);
    void hid560_8CH_readProfile(uchar *src128, uchar profileNo);
    void hid560_02H_SetCurrentProfile(uchar profile);
    void hid553_13H_SetMacroKey(uchar macroId, uchar *src128);
    void hid560_0FH_SetMacroKey(uchar macroId, uchar *src128);
    void hid553_11H_SetDPISet(uchar dpiStage, uchar *src8);
    void hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix);
    void hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2);
    void hid553_0CH_SetFixLEDColor(uchar *src3);
    void hid553_10H_SetLED8StageColor(uchar type, uchar *src24);

    // Enables the mouse's event reports and starts the listener for entry
    // `index` on the global thread pool.
    void startEventListener(uint index);

signals:
    // The queue ran empty after a job; emitted on the link's thread.
    void idle();

protected:
    void run() override;

private:
    enum class Timing { Settle, Short };

    HidHandle *openCommandInterface(int index);
    HidHandle *openEventInterface(int index);
    void closeCommandInterface();
    // Whether entry `served` can carry `dataLength` bytes of data.
    bool canCarry(const DeviceEntry &served, int dataLength) const;
    bool sendCommand(int dataLength, bool settle);
    bool queryCommand(int dataLength);
    void settlePause();
    void eventListenerLoop(uint index);

    // Entry `index` of the table, or an empty one when there is none.
    DeviceEntry entry(int index) const;
    void clearInterfacePath(int index, int which);
    // Opens interface `which` (1 command, 2 event) of entry `index` into
    // `slot`, closing what the slot held; a failed open empties the path.
    HidHandle *openInterface(int index, int which, HidHandlePtr &slot);
    // Sends `outReport` to entry `index`, scrambled when the entry says so.
    bool sendCommandReport(int index, const DeviceEntry &served);
    // Closes the handle; returns `ok`.
    bool finishExchange(bool ok);
    // Remembers how the command ended; returns `ok`.
    bool noteResult(bool ok);
    qint64 nowNs() const;
    void waitOwedPause();
    bool prepare(const char *failLine, uchar code, std::initializer_list<uchar> params);
    void setCommand(uchar code, std::initializer_list<uchar> params);
    void runSet(const char *failLine, uchar code, std::initializer_list<uchar> params,
                Timing timing, const uchar *data = nullptr, int dataLength = 0);
    bool runQuery(const char *failLine, uchar code, std::initializer_list<uchar> params,
                  std::initializer_list<uchar *> outputs, bool presetZero = false);
    void runProfileCommand(const char *failLine, uchar code, uchar value);

    HidBackend *m_backend = nullptr;
    DeviceLinkHost *m_host = nullptr;
    Sleep m_sleep;
    // A short pause is owed to the mouse, not waited for at once: the next
    // command waits until this point of the link's time.
    QElapsedTimer m_clock;
    bool m_standInTime = false;
    qint64 m_standInNs = 0;
    qint64 m_quietUntilNs = 0;
    Draw m_draw;
    EventReportSwitch m_enableEventReports = nullptr;
    bool m_isGun = false;

    // The listener changes only the event path of its entry; the lock keeps
    // that apart from the other threads' reads of the table.
    mutable QMutex m_tableMutex;
    DeviceTable m_deviceTable;
    std::atomic<int> m_currentIndex{-1};
    // The served device's secrecy code: bytes 1 to 6 from its sCode, bytes
    // 0 and 7 always 0.
    uchar m_secrecyCode[8] = {};
    HidHandlePtr m_commandHandle;
    HidHandlePtr m_eventHandle;
    bool m_lastExchangeOk = true;
    quint64 m_failedExchanges = 0;
    std::atomic<bool> m_listening{false};
    HidStopSignal m_stopListening;
    QFuture<void> m_listener;
    HidProtocol::CommandReport m_outReport{};
    HidProtocol::CommandReport m_inReport{};
    std::array<uchar, HidProtocol::bulkBufferSize> m_bulkBuffer{};

    QMutex m_queueMutex;
    QWaitCondition m_queueChanged;
    QWaitCondition m_jobEnded;
    std::deque<Job> m_queue;
    bool m_jobRunning = false;
    bool m_ending = false;
    std::atomic<int> m_pending{0};
    // Set by dropPending() for the job in progress: its commands fail unsent.
    std::atomic<bool> m_stopCommands{false};
};
