#include "hid_thread.h"

#include "devicelinkhost.h"
#include "devicelog.h"
#include "hidbackend.h"

#include <QDateTime>
#include <QMutexLocker>
#include <QRandomGenerator>
#include <QThreadPool>
#include <QtConcurrent>
#include <algorithm>

namespace {
constexpr int settleHalfMs = 64;
constexpr int dataReportPauseMs = 120;
constexpr int shortPauseMs = 8;
// After a failed event read the listener waits this long before the next
// open, so a device that keeps failing its reads cannot make it spin.
constexpr int eventErrorPauseMs = 100;

std::array<uchar, 4> drawFromClock()
{
    QRandomGenerator generator(quint32(QDateTime::currentDateTime().toSecsSinceEpoch()));
    std::array<uchar, 4> values{};
    for (uchar &value : values)
        value = uchar(generator.generate() & 0xFF);
    return values;
}

void sleepForReal(int ms)
{
    QThread::msleep(ulong(ms));
}
} // namespace

Hid_Thread::Hid_Thread(HidBackend *backend, DeviceLinkHost *host)
    : m_backend(backend), m_host(host), m_sleep(sleepForReal), m_draw(drawFromClock)
{
    m_clock.start();
}

Hid_Thread::~Hid_Thread()
{
    dropPending();
    {
        QMutexLocker lock(&m_queueMutex);
        m_ending = true;
        m_queueChanged.wakeAll();
    }
    wait();
    stopEventListener();
    closeCommandInterface();
}

void Hid_Thread::post(Job job)
{
    QMutexLocker lock(&m_queueMutex);
    ++m_pending;
    m_queue.push_back(std::move(job));
    m_queueChanged.wakeAll();
}

void Hid_Thread::dropPending()
{
    std::deque<Job> dropped;
    {
        QMutexLocker lock(&m_queueMutex);
        dropped.swap(m_queue);
        if (m_jobRunning)
            m_stopCommands = true;
    }
    for (Job &job : dropped) {
        --m_pending;
        if (job.drop)
            job.drop();
    }
}

void Hid_Thread::waitForIdle()
{
    QMutexLocker lock(&m_queueMutex);
    while (m_jobRunning)
        m_jobEnded.wait(&m_queueMutex);
}

void Hid_Thread::run()
{
    for (;;) {
        Job job;
        {
            QMutexLocker lock(&m_queueMutex);
            // Nothing to do: the thread sleeps until work comes.
            while (m_queue.empty() && !m_ending)
                m_queueChanged.wait(&m_queueMutex);
            if (m_queue.empty())
                return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
            m_jobRunning = true;
            m_stopCommands = false;
        }
        if (job.run)
            job.run();
        bool empty = false;
        {
            QMutexLocker lock(&m_queueMutex);
            m_jobRunning = false;
            empty = m_queue.empty();
            m_jobEnded.wakeAll();
        }
        --m_pending;
        if (empty)
            emit idle();
    }
}

void Hid_Thread::setSleep(Sleep sleep)
{
    // A stand-in's pauses take no time; the link's time is then made of
    // its pauses alone, so that what it owes the mouse stays exact. What is
    // owed goes over to the new time.
    const qint64 owedNs = std::max<qint64>(0, m_quietUntilNs - nowNs());
    m_standInTime = bool(sleep);
    m_quietUntilNs = nowNs() + owedNs;
    if (!sleep) {
        m_sleep = sleepForReal;
        return;
    }
    m_sleep = [this, sleep = std::move(sleep)](int ms) {
        m_standInNs += qint64(ms) * 1000000;
        sleep(ms);
    };
}

qint64 Hid_Thread::nowNs() const
{
    return m_standInTime ? m_standInNs : m_clock.nsecsElapsed();
}

void Hid_Thread::waitOwedPause()
{
    const qint64 owedNs = m_quietUntilNs - nowNs();
    if (owedNs > 0)
        m_sleep(int((owedNs + 999999) / 1000000));
}

void Hid_Thread::setDraw(Draw draw)
{
    m_draw = draw ? std::move(draw) : drawFromClock;
}

void Hid_Thread::setDeviceTable(const DeviceTable &table)
{
    QMutexLocker lock(&m_tableMutex);
    m_deviceTable = table;
}

DeviceTable Hid_Thread::deviceTable() const
{
    QMutexLocker lock(&m_tableMutex);
    return m_deviceTable;
}

DeviceEntry Hid_Thread::entry(int index) const
{
    QMutexLocker lock(&m_tableMutex);
    if (index < 0 || index >= m_deviceTable.size()) {
        DeviceEntry none;
        return none; // no paths: every transfer fails at the open
    }
    return m_deviceTable.at(index);
}

void Hid_Thread::clearInterfacePath(int index, int which)
{
    QMutexLocker lock(&m_tableMutex);
    if (index < 0 || index >= m_deviceTable.size())
        return;
    (which == 1 ? m_deviceTable[index].interfacePath1 : m_deviceTable[index].interfacePath2)
        .clear();
}

// --- transport ---

HidHandle *Hid_Thread::openInterface(int index, int which, HidHandlePtr &slot)
{
    const DeviceEntry device = entry(index);
    const QString path = which == 1 ? device.interfacePath1 : device.interfacePath2;
    if (path.isEmpty() || !m_backend)
        return nullptr;
    slot.reset();
    HidHandlePtr handle = m_backend->open(path);
    if (!handle) {
        // The interface is gone: later exchanges fail at once until
        // detection hands over a new table.
        clearInterfacePath(index, which);
        return nullptr;
    }
    m_backend->setNonblocking(handle.get(), 0);
    slot = std::move(handle);
    return slot.get();
}

HidHandle *Hid_Thread::openCommandInterface(int index)
{
    return openInterface(index, 1, m_commandHandle);
}

HidHandle *Hid_Thread::openEventInterface(int index)
{
    return openInterface(index, 2, m_eventHandle);
}

void Hid_Thread::closeCommandInterface()
{
    m_commandHandle.reset();
}

void Hid_Thread::settlePause()
{
    m_sleep(settleHalfMs);
    m_sleep(settleHalfMs);
}

bool Hid_Thread::finishExchange(bool ok)
{
    closeCommandInterface();
    return ok;
}

bool Hid_Thread::noteResult(bool ok)
{
    m_lastExchangeOk = ok;
    if (!ok)
        ++m_failedExchanges;
    return ok;
}

bool Hid_Thread::sendCommandReport(int index, const DeviceEntry &served)
{
    waitOwedPause();
    // The first open only finds out whether the interface is there; every
    // HID call then runs on a freshly opened handle.
    if (!openCommandInterface(index))
        return false;
    if (served.isEncode)
        USBDataEncryption(m_outReport.data() + 1, m_secrecyCode);
    HidHandle *handle = openCommandInterface(index);
    return handle &&
           m_backend->sendFeatureReport(handle, m_outReport.data(), m_outReport.size()) >= 0;
}

bool Hid_Thread::canCarry(const DeviceEntry &served, int dataLength) const
{
    return dataLength <= 0 || (dataLength <= int(m_bulkBuffer.size()) &&
                               HidProtocol::isUsableReportLength(served.reportLength));
}

bool Hid_Thread::sendCommand(int dataLength, bool settle)
{
    const int index = m_currentIndex;
    const DeviceEntry served = entry(index);
    // Refused before the command report: once that announces data, the
    // firmware waits for it.
    if (!canCarry(served, dataLength))
        return finishExchange(false);
    if (!sendCommandReport(index, served))
        return finishExchange(false);
    if (settle)
        settlePause();
    if (dataLength > 0) {
        const QList<QByteArray> reports = HidProtocol::dataReports(
            QByteArray(reinterpret_cast<const char *>(m_bulkBuffer.data()), dataLength),
            served.reportLength);
        for (const QByteArray &report : reports) {
            HidHandle *handle = openCommandInterface(index);
            if (!handle ||
                m_backend->write(handle, reinterpret_cast<const uchar *>(report.constData()),
                                 std::size_t(report.size())) < 0)
                return finishExchange(false);
            m_sleep(dataReportPauseMs);
        }
        if (settle)
            settlePause();
    }
    return finishExchange(true);
}

bool Hid_Thread::queryCommand(int dataLength)
{
    const int index = m_currentIndex;
    const DeviceEntry served = entry(index);
    if (!canCarry(served, dataLength) || !sendCommandReport(index, served))
        return finishExchange(false);
    HidHandle *handle = openCommandInterface(index);
    if (!handle || m_backend->getFeatureReport(handle, m_inReport.data(), m_inReport.size()) < 0)
        return finishExchange(false);
    if (dataLength == 0) {
        if (served.isEncode)
            USBDataDecipher(m_inReport.data() + 1, m_secrecyCode);
        return finishExchange(true);
    }
    const int reportLength = served.reportLength;
    const int n = std::min(dataLength, reportLength);
    QByteArray buffer(reportLength + 1, '\0');
    for (int offset = 0; offset < dataLength; offset += n) {
        buffer.fill('\0');
        handle = openCommandInterface(index);
        // Input reports come without report ID; a time-out is a failed read.
        if (!handle || m_backend->readTimeout(handle, reinterpret_cast<uchar *>(buffer.data()),
                                              std::size_t(buffer.size()), dataReadTimeoutMs) <= 0)
            return finishExchange(false);
        std::copy_n(buffer.constData(), std::min(n, dataLength - offset),
                    m_bulkBuffer.begin() + offset);
    }
    return finishExchange(true);
}

// --- command building ---

void Hid_Thread::setCommand(uchar code, std::initializer_list<uchar> params)
{
    m_outReport = HidProtocol::commandReport(code, params);
}

bool Hid_Thread::prepare(const char *failLine, uchar code, std::initializer_list<uchar> params)
{
    // A job that was told to stop sends nothing more.
    if (m_stopCommands) {
        qCWarning(lcDevice, "%s", failLine);
        return noteResult(false);
    }
    setCommand(code, params);
    return true;
}

void Hid_Thread::runSet(const char *failLine, uchar code, std::initializer_list<uchar> params,
                        Timing timing, const uchar *data, int dataLength)
{
    if (!prepare(failLine, code, params))
        return;
    m_bulkBuffer.fill(0);
    if (data)
        std::copy_n(data, dataLength, m_bulkBuffer.begin());
    noteResult(sendCommand(dataLength, timing == Timing::Settle));
    // The mouse wants a quiet moment after these before its next command;
    // the program goes on meanwhile (at start, the window is built) and only
    // a command that comes too soon waits for the rest of it.
    if (timing == Timing::Short)
        m_quietUntilNs = nowNs() + qint64(shortPauseMs) * 1000000;
}

bool Hid_Thread::runQuery(const char *failLine, uchar code, std::initializer_list<uchar> params,
                          std::initializer_list<uchar *> outputs, bool presetZero)
{
    if (!prepare(failLine, code, params))
        return false;
    // A failed exchange hands the caller's own values back (or zeros).
    m_inReport.fill(0);
    int position = 2;
    for (uchar *output : outputs)
        m_inReport[position++] = presetZero ? 0 : *output;
    const bool ok = noteResult(queryCommand(0));
    position = 2;
    for (uchar *output : outputs)
        *output = m_inReport[position++];
    return ok;
}

void Hid_Thread::runProfileCommand(const char *failLine, uchar code, uchar value)
{
    const int last = m_isGun ? 1 : 4;
    bool ok = true;
    for (int k = 1; k <= last; ++k)
        ok = prepare(failLine, code, {uchar(k), value}) && sendCommand(0, true) && ok;
    noteResult(ok);
}

// --- checksum, scrambling and identity ---

uchar Hid_Thread::hidCS(uchar *pData)
{
    return pData ? HidProtocol::checksum(pData) : 0xFF;
}

void Hid_Thread::USBDataEncryption(uchar *FIFOBuf, uchar *SecrecyCode)
{
    if (FIFOBuf && SecrecyCode)
        HidProtocol::scramble(FIFOBuf, SecrecyCode);
}

void Hid_Thread::USBDataDecipher(uchar *FIFOBuf, uchar *SecrecyCode)
{
    if (FIFOBuf && SecrecyCode)
        HidProtocol::unscramble(FIFOBuf, SecrecyCode);
}

bool Hid_Thread::chkDeviceIsEnCode(int index)
{
    m_currentIndex = index;
    const std::array<uchar, 4> drawn = m_draw();
    uchar key[8] = {};
    if (HidProtocol::secrecyKey(entry(index).sCode, key))
        std::copy_n(key + 1, 6, m_secrecyCode + 1);
    std::array<uchar, 4> echo = drawn;
    // Only an exchange that really happened confirms a device: not one
    // dropped because the link was busy, nor one that failed on the way.
    const bool exchanged = runQuery("cmd Failed 00", 0x00, {echo[0], echo[1], echo[2], echo[3]},
                                    {&echo[0], &echo[1], &echo[2], &echo[3]}, true);
    return exchanged && echo == drawn;
}

// --- family 553 ---

void Hid_Thread::hid553_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
    runQuery("cmd Failed 00", 0x00, {byte1, byte2, byte3, byte4}, {&byte1, &byte2, &byte3, &byte4},
             true);
}

void Hid_Thread::hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3,
                                              uchar &byte4)
{
    runQuery("cmd Failed 83", 0x83, {}, {&byte1, &byte2, &byte3, &byte4});
}

void Hid_Thread::hid553_8BH_GetCurrentDPI(uchar &byte1)
{
    runQuery("cmd Failed 8BH", 0x8B, {}, {&byte1});
}

void Hid_Thread::hid553_01H_SetReportRate(uchar rate)
{
    runSet("cmd Failed 01", 0x01, {rate}, Timing::Settle);
}

void Hid_Thread::hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix)
{
    runSet("cmd Failed 02", 0x02, {currentKeyMatrix}, Timing::Settle);
}

void Hid_Thread::hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    runSet("cmd Failed 03", 0x03, {byte1, byte2, byte3, byte4}, Timing::Short);
}

void Hid_Thread::hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    runSet("cmd Failed 04", 0x04, {0, byte1, byte2, byte3, byte4}, Timing::Short);
}

void Hid_Thread::hid553_0BH_SetCurrentDPI(uchar stage)
{
    runSet("cmd Failed 0B", 0x0B, {stage}, Timing::Settle);
}

void Hid_Thread::hid553_0CH_SetFixLEDColor(uchar *src3)
{
    const uchar none[3] = {};
    const uchar *c = src3 ? src3 : none;
    runSet("cmd Failed 0C", 0x0C, {c[0], c[1], c[2]}, Timing::Settle);
}

void Hid_Thread::hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2)
{
    runSet("cmd Failed 0D", 0x0D, {effect, option1, option2}, Timing::Settle);
}

void Hid_Thread::hid553_10H_SetLED8StageColor(uchar type, uchar *src24)
{
    const uchar n = type == 2 ? 4 : 24;
    runSet("cmd Failed 10", 0x10, {type, n}, Timing::Settle, src24, n);
}

void Hid_Thread::hid553_11H_SetDPISet(uchar dpiStage, uchar *src8)
{
    runSet("cmd Failed 11", 0x11, {dpiStage, 8}, Timing::Settle, src8, 8);
}

void Hid_Thread::hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    runSet("cmd Failed 12", 0x12, {indexAddOne, 0x40, 0x08}, Timing::Settle, src64, 64);
}

void Hid_Thread::hid553_13H_SetMacroKey(uchar macroId, uchar *src128)
{
    runSet("cmd Failed 13", 0x13, {macroId, 0x80}, Timing::Settle, src128, 128);
}

// --- family 560 ---

void Hid_Thread::hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2)
{
    runQuery("cmd Failed 81", 0x81, {}, {&byte1, &byte2});
}

void Hid_Thread::hid560_82H_GetCurrentProfile(uchar &byte1)
{
    runQuery("cmd Failed 82", 0x82, {}, {&byte1});
}

void Hid_Thread::hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2)
{
    runQuery("cmd Failed 84", 0x84, {byte1}, {&byte1, &byte2});
}

void Hid_Thread::hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2)
{
    runSet("cmd Failed 01", 0x01, {byte1, byte2}, Timing::Short);
}

void Hid_Thread::hid560_02H_SetCurrentProfile(uchar profile)
{
    runSet("cmd Failed 02", 0x02, {profile}, Timing::Short);
}

void Hid_Thread::hid560_03H_SetReportRate(uchar rate)
{
    runProfileCommand("cmd Failed 03", 0x03, rate);
}

void Hid_Thread::hid560_04H_SetCurrentDPI(uchar stage)
{
    runProfileCommand("cmd Failed 04", 0x04, stage);
}

void Hid_Thread::hid560_0CH_setProfile(uchar *src128, uchar profileData)
{
    runSet("cmd Failed 0C", 0x0C, {profileData, 0x80}, Timing::Settle, src128, 128);
}

void Hid_Thread::hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    // 128 bytes go out, of which only the first 64 are the caller's.
    uchar data[128] = {};
    if (src64)
        std::copy_n(src64, 64, data);
    runSet("cmd Failed 0D", 0x0D, {indexAddOne, 0x80}, Timing::Settle, data, 128);
}

void Hid_Thread::hid560_0FH_SetMacroKey(uchar macroId, uchar *src128)
{
    runSet("cmd Failed 0F", 0x0F, {macroId, 0x80}, Timing::Settle, src128, 128);
}

void Hid_Thread::hid560_8CH_readProfile(uchar *src128, uchar profileNo)
{
    if (!prepare("cmd Failed 8c", 0x8C, {profileNo}))
        return;
    m_inReport.fill(0);
    // Whatever is not read keeps the caller's bytes.
    if (src128)
        std::copy_n(src128, 128, m_bulkBuffer.begin());
    noteResult(queryCommand(128));
    if (src128)
        std::copy_n(m_bulkBuffer.begin(), 128, src128);
}

// --- event listener ---

void Hid_Thread::startEventListener(uint index)
{
    stopEventListener();
    // The option is written back only when it was read: zeros would reset
    // the mouse's other option bits.
    const bool read = m_enableEventReports && m_enableEventReports(*this);
    if (!read)
        qCWarning(lcDevice, "Keyboard option not read: left as it is");
    m_listening = true;
    m_stopListening.clear();
    m_listener = QtConcurrent::run(QThreadPool::globalInstance(),
                                   [this, index] { eventListenerLoop(index); });
}

void Hid_Thread::requestStop()
{
    m_listening = false;
    m_stopListening.raise();
}

void Hid_Thread::stopEventListener()
{
    requestStop();
    m_listener.waitForFinished();
}

void Hid_Thread::eventListenerLoop(uint index)
{
    const int i = index > uint(INT_MAX) ? -1 : int(index);
    if (entry(i).interfacePath2.isEmpty()) {
        m_listening = false;
        return;
    }
    // The interface stays open while the listener waits: the wait ends on a
    // report, a stop request or the device's removal, never on a timer.
    HidHandle *handle = openEventInterface(i);
    while (m_listening) {
        if (!handle) {
            qCInfo(lcDevice, "Device removed");
            clearInterfacePath(i, 2);
            m_listening = false;
            // What waits for the mouse fails now, not one command at a time.
            dropPending();
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_host)
                        m_host->mouseRemoved();
                },
                Qt::QueuedConnection);
            return;
        }
        uchar report[4] = {};
        const int n = m_backend->readUntilStopped(handle, report, sizeof report, m_stopListening);
        const bool stageEvent = n == 4 && report[0] == 6 && report[1] == 7;
        if (stageEvent && !HidProtocol::isDpiStage(report[3])) {
            // Noise: shown, it would be a caption of no stage.
            qCWarning(lcDevice, "DPI stage %d ignored", report[3]);
        } else if (stageEvent) {
            const int stage = report[3];
            QMetaObject::invokeMethod(
                this,
                [this, stage] {
                    if (m_host)
                        m_host->mouseReportedDpiStage(stage);
                },
                Qt::QueuedConnection);
        }
        if (n < 0 && m_listening) {
            // A failed read: reopen, which tells a removed device from one
            // that failed once, after a pause so a failing one cannot make
            // the listener spin.
            m_eventHandle.reset();
            QThread::msleep(eventErrorPauseMs);
            handle = openEventInterface(i);
        }
    }
    m_eventHandle.reset();
}
