#include "virtualmouse.h"

#include <QDeadlineTimer>
#include <QMutexLocker>
#include <algorithm>

namespace {
// The firmware's side of the report format, written from the protocol's
// tables on its own: the mouse must catch a fault in the program's
// checksum or scrambling, not share it.
namespace Firmware {
constexpr int reportSize = 9;
constexpr uchar keyTable[8] = {'T', 'a', 'V', 'k', 'o', 'L', 'u', 'm'};
constexpr int swappedPairs[4][2] = {{0, 5}, {1, 4}, {2, 7}, {3, 6}};

// 255 minus the sum of report bytes 1 to 7, modulo 256.
uchar checksum(const QByteArray &report)
{
    int sum = 0;
    for (int i = 1; i <= 7; ++i)
        sum += uchar(report.at(i));
    return uchar(255 - sum % 256);
}

QByteArray reply(uchar code, std::initializer_list<uchar> values)
{
    QByteArray report(reportSize, '\0');
    report[1] = char(code);
    int i = 2;
    for (uchar v : values)
        report[i++] = char(v);
    report[8] = char(checksum(report));
    return report;
}

// The secrecy code's six characters in bytes 1 to 6; zeros for a code of
// another length.
std::array<uchar, 8> secrecyKey(const QString &sCode)
{
    std::array<uchar, 8> key{};
    if (sCode.size() == 6) {
        for (int i = 0; i < 6; ++i)
            key[std::size_t(i + 1)] = uchar(sCode.at(i).toLatin1());
    }
    return key;
}

uchar keyOffset(int i)
{
    const uchar t = keyTable[i];
    return uchar(((t & 0x0F) << 4) | ((t & 0xF0) >> 4));
}

// Report bytes 1 to 8 as one big-endian number and back.
quint64 number(const QByteArray &report)
{
    quint64 n = 0;
    for (int i = 1; i <= 8; ++i)
        n = (n << 8) | uchar(report.at(i));
    return n;
}

void setNumber(QByteArray &report, quint64 n)
{
    for (int i = 8; i >= 1; --i, n >>= 8)
        report[i] = char(n & 0xFF);
}

void swapPairs(QByteArray &report)
{
    for (const auto &pair : swappedPairs)
        std::swap(report[1 + pair[0]], report[1 + pair[1]]);
}

void mixKey(QByteArray &report, const std::array<uchar, 8> &key)
{
    for (int i = 1; i <= 6; ++i)
        report[1 + i] = char(uchar(report.at(1 + i)) ^ key[std::size_t(i)]);
}

// Bytes 1 to 8 of a 9-byte report, as the program scrambles its commands.
void scramble(QByteArray &report, const std::array<uchar, 8> &key)
{
    swapPairs(report);
    mixKey(report, key);
    const quint64 n = number(report);
    setNumber(report, (n << 3) | (n >> 61));
    for (int i = 0; i < 8; ++i)
        report[1 + i] = char(uchar(report.at(1 + i)) + keyOffset(i));
}

void unscramble(QByteArray &report, const std::array<uchar, 8> &key)
{
    for (int i = 0; i < 8; ++i)
        report[1 + i] = char(uchar(report.at(1 + i)) - keyOffset(i));
    const quint64 n = number(report);
    setNumber(report, (n >> 3) | (n << 61));
    mixKey(report, key);
    swapPairs(report);
}
} // namespace Firmware

// `count` parameter bytes of a command report from `offset` on.
QByteArray reportBytes(const uchar *p, int offset, int count)
{
    return QByteArray(reinterpret_cast<const char *>(p + offset), count);
}

struct VirtualHandle : HidHandle
{
    VirtualHandle(VirtualMouse *m, int i, quint64 g) : mouse(m), interface(i), generation(g) {}
    VirtualMouse *mouse;
    int interface; // 0 command, 1 event
    quint64 generation;
};

VirtualHandle *virtualHandle(HidHandle *handle)
{
    return static_cast<VirtualHandle *>(handle);
}

QByteArray factoryProfile(int n)
{
    // Recognisable content: the profile number, then a running pattern.
    QByteArray block(VirtualMouse::profileBlockSize, '\0');
    for (int i = 0; i < block.size(); ++i)
        block[i] = char((n * 37 + i * 3) & 0xFF);
    block[0] = char(n);
    return block;
}
} // namespace

VirtualMouse::VirtualMouse(int family, const DeviceEntry &row) : m_family(family), m_row(row)
{
    m_key = Firmware::secrecyKey(m_row.sCode);
    for (int n = 0; n < profileCount; ++n)
        m_state.profiles.append(factoryProfile(n));
    m_clock.start();
}

DeviceEntry VirtualMouse::factoryRow()
{
    DeviceEntry row;
    row.type = 1;
    row.vid = 0x1209;
    row.pid = 0x0001;
    row.usagePage = 0xFF00;
    row.usage = 0xFF00;
    row.usagePage2 = 0xFF01;
    row.usage2 = 0xFF01;
    row.reportLength = 32;
    row.isEncode = true;
    row.sCode = QStringLiteral("370524");
    return row;
}

void VirtualMouse::unplug()
{
    QMutexLocker lock(&m_mutex);
    unplugLocked();
}

void VirtualMouse::unplugLocked()
{
    if (!m_plugged)
        return;
    m_plugged = false;
    ++m_generation;
    m_input[0].clear();
    m_input[1].clear();
    m_pending = {};
    m_unplugCountdown = 0;
    m_inputArrived.wakeAll();
    if (m_notify)
        m_notify();
}

void VirtualMouse::plugIn()
{
    QMutexLocker lock(&m_mutex);
    if (m_plugged)
        return;
    m_plugged = true;
    if (m_notify)
        m_notify();
}

bool VirtualMouse::isPluggedIn() const
{
    QMutexLocker lock(&m_mutex);
    return m_plugged;
}

void VirtualMouse::unplugAfterReports(int reports)
{
    QMutexLocker lock(&m_mutex);
    m_unplugCountdown = reports;
}

bool VirtualMouse::eventReportsEnabled() const
{
    QMutexLocker lock(&m_mutex);
    const QByteArray &option = m_state.keyboardOption;
    return m_family == 560 ? (uchar(option[0]) & 0x08) : (uchar(option[3]) & 0x40);
}

bool VirtualMouse::pressDpiButton(int stage)
{
    const bool enabled = eventReportsEnabled();
    QMutexLocker lock(&m_mutex);
    if (!m_plugged)
        return false;
    m_state.currentDpi = uchar(stage);
    if (!enabled)
        return false;
    m_input[1].push_back(QByteArray::fromRawData("\x06\x07\x00", 3) + char(stage));
    m_inputArrived.wakeAll();
    return true;
}

void VirtualMouse::sendEventReport(const QByteArray &report)
{
    QMutexLocker lock(&m_mutex);
    if (!m_plugged)
        return;
    m_input[1].push_back(report);
    m_inputArrived.wakeAll();
}

void VirtualMouse::setAnswering(bool answering)
{
    QMutexLocker lock(&m_mutex);
    m_answering = answering;
}

void VirtualMouse::setFault(Fault fault, int afterReports)
{
    QMutexLocker lock(&m_mutex);
    m_fault = afterReports > 0 ? Fault::None : fault;
    m_delayedFault = fault;
    m_faultCountdown = std::max(0, afterReports);
}

void VirtualMouse::setAccessDenied(bool denied)
{
    QMutexLocker lock(&m_mutex);
    m_accessDenied = denied;
}

bool VirtualMouse::isAccessDenied() const
{
    QMutexLocker lock(&m_mutex);
    return m_accessDenied;
}

void VirtualMouse::setReplyOverride(const QByteArray &reply)
{
    QMutexLocker lock(&m_mutex);
    m_replyOverride = reply;
}

QList<VirtualMouse::Received> VirtualMouse::received() const
{
    QMutexLocker lock(&m_mutex);
    return m_received;
}

QList<QByteArray> VirtualMouse::commands() const
{
    QList<QByteArray> result;
    for (const Received &r : received()) {
        if (r.channel == Channel::Feature)
            result.append(r.plain);
    }
    return result;
}

void VirtualMouse::clearRecord()
{
    QMutexLocker lock(&m_mutex);
    m_received.clear();
    m_errors.clear();
    m_openCount = 0;
}

QStringList VirtualMouse::protocolErrors() const
{
    QMutexLocker lock(&m_mutex);
    return m_errors;
}

int VirtualMouse::openHandles() const
{
    QMutexLocker lock(&m_mutex);
    return m_openHandles;
}

int VirtualMouse::openCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_openCount;
}

VirtualMouse::State VirtualMouse::state() const
{
    QMutexLocker lock(&m_mutex);
    return m_state;
}

void VirtualMouse::setProfileBlock(int n, const QByteArray &block)
{
    QMutexLocker lock(&m_mutex);
    if (n >= 0 && n < profileCount)
        m_state.profiles[n] = block.leftJustified(profileBlockSize, '\0', true);
}

void VirtualMouse::setRecordFile(const QString &path)
{
    QMutexLocker lock(&m_mutex);
    m_recordFile = std::make_unique<QFile>(path);
    if (!m_recordFile->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        m_recordFile.reset();
}

QString VirtualMouse::recordFilePath() const
{
    QMutexLocker lock(&m_mutex);
    return m_recordFile ? m_recordFile->fileName() : QString();
}

void VirtualMouse::record(Channel channel, const QByteArray &bytes, const QByteArray &plain)
{
    const qint64 msecs = m_clock.elapsed();
    m_received.append({msecs, channel, bytes, plain});
    if (m_recordFile) {
        m_recordFile->write(QByteArray::number(msecs) +
                            (channel == Channel::Feature ? " feature " : " output ") +
                            plain.toHex(' ') + '\n');
        m_recordFile->flush();
    }
}

bool VirtualMouse::dropsReport()
{
    if (m_fault == Fault::DropReport) {
        m_fault = Fault::None;
        return true;
    }
    return m_fault == Fault::Silent;
}

void VirtualMouse::countReport()
{
    if (m_unplugCountdown > 0 && --m_unplugCountdown == 0)
        unplugLocked();
    if (m_faultCountdown > 0 && --m_faultCountdown == 0)
        m_fault = m_delayedFault;
}

void VirtualMouse::error(const QString &text)
{
    m_errors.append(text);
}

void VirtualMouse::setReply(uchar code, std::initializer_list<uchar> values)
{
    // A garbling firmware frames its reply but gets every value wrong.
    m_reply = m_fault == Fault::Garbage
                  ? Firmware::reply(code, {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE})
                  : Firmware::reply(code, values);
    if (m_row.isEncode)
        Firmware::scramble(m_reply, m_key);
}

void VirtualMouse::handleCommand(const QByteArray &plain)
{
    const auto *p = reinterpret_cast<const uchar *>(plain.constData());
    if (p[8] != Firmware::checksum(plain)) {
        error(QStringLiteral("checksum mismatch in command %1").arg(p[1], 2, 16, QLatin1Char('0')));
        return;
    }
    if (!m_pending.command.isEmpty())
        error(QStringLiteral("command %1 before the data of the previous one")
                  .arg(p[1], 2, 16, QLatin1Char('0')));
    m_pending = {};
    // A new command ends whatever the previous one still had to send.
    m_input[0].clear();
    setReply(p[1], {});
    if (p[1] == 0x00) {
        // The identity exchange, common to both families: echo the values.
        setReply(0x00, {p[2], p[3], p[4], p[5]});
        return;
    }
    if (m_family == 560)
        handleCommand560(p);
    else
        handleCommand553(p);
}

void VirtualMouse::handleCommand553(const uchar *p)
{
    State &s = m_state;
    switch (p[1]) {
    case 0x01:
        s.reportRate = p[2];
        break;
    case 0x02:
        s.currentKeyMatrix = p[2];
        break;
    case 0x03:
        s.keyboardOption = reportBytes(p, 2, 4);
        break;
    case 0x04:
        s.gunData = reportBytes(p, 3, 4);
        break;
    case 0x0B:
        s.currentDpi = p[2];
        break;
    case 0x0C:
        s.fixColor = reportBytes(p, 2, 3);
        break;
    case 0x0D:
        s.ledEffect = reportBytes(p, 2, 3);
        break;
    case 0x10:
    case 0x11:
    case 0x12:
    case 0x13:
        break; // data follows
    case 0x83:
        setReply(0x83, {uchar(s.keyboardOption[0]), uchar(s.keyboardOption[1]),
                        uchar(s.keyboardOption[2]), uchar(s.keyboardOption[3])});
        return;
    case 0x8B:
        setReply(0x8B, {s.currentDpi});
        return;
    default:
        error(QStringLiteral("unknown command %1").arg(p[1], 2, 16, QLatin1Char('0')));
        return;
    }
    if (p[1] >= 0x10 && p[1] <= 0x13)
        m_pending = {reportBytes(p, 0, 9), p[3], {}};
}

void VirtualMouse::handleCommand560(const uchar *p)
{
    State &s = m_state;
    const int k = p[2];
    switch (p[1]) {
    case 0x01:
        s.keyboardOption[0] = char(p[2]);
        s.keyboardOption[1] = char(p[3]);
        break;
    case 0x02:
        s.currentProfile = p[2];
        break;
    case 0x03:
    case 0x04:
        if (k < 1 || k >= profileCount) {
            error(QStringLiteral("no profile %1").arg(k));
            break;
        }
        (p[1] == 0x03 ? s.profileRate : s.profileDpiStage)[k] = char(p[3]);
        break;
    case 0x0C:
    case 0x0D:
    case 0x0F:
        m_pending = {reportBytes(p, 0, 9), p[3], {}};
        break;
    case 0x81:
        setReply(0x81, {uchar(s.keyboardOption[0]), uchar(s.keyboardOption[1])});
        break;
    case 0x82:
        setReply(0x82, {s.currentProfile});
        break;
    case 0x84:
        setReply(0x84, {p[2], s.currentDpi});
        break;
    case 0x8C: {
        if (k >= profileCount) {
            error(QStringLiteral("no profile %1").arg(k));
            break;
        }
        if (m_row.reportLength < 1) {
            error(QStringLiteral("report length %1").arg(m_row.reportLength));
            break;
        }
        // The block follows the reply as input reports without report ID.
        const QByteArray block = s.profiles.at(k);
        for (int offset = 0; offset < block.size(); offset += m_row.reportLength)
            m_input[0].push_back(block.mid(offset, m_row.reportLength));
        m_inputArrived.wakeAll();
        break;
    }
    default:
        error(QStringLiteral("unknown command %1").arg(p[1], 2, 16, QLatin1Char('0')));
        break;
    }
}

void VirtualMouse::finishData()
{
    const auto *p = reinterpret_cast<const uchar *>(m_pending.command.constData());
    const QByteArray data = m_pending.data;
    const int n = p[2];
    State &s = m_state;
    switch (p[1]) {
    case 0x10:
        if (m_family == 553) {
            s.led8Type = p[2];
            s.stageColors.replace(0, std::min<int>(data.size(), 24), data.left(24));
        }
        break;
    case 0x11:
        s.dpiStageCount = p[2];
        s.dpiCodes = data.left(8);
        break;
    case 0x12:
    case 0x0D:
        s.keyMatrices[n] = data;
        break;
    case 0x13:
    case 0x0F:
        s.macros[n] = data;
        break;
    case 0x0C:
        if (n < profileCount)
            s.profiles[n] = data.leftJustified(profileBlockSize, '\0', true);
        else
            error(QStringLiteral("no profile %1").arg(n));
        break;
    default:
        break;
    }
    m_pending = {};
}

VirtualMouseBackend::VirtualMouseBackend(QObject *parent) : QObject(parent)
{}

VirtualMouseBackend::~VirtualMouseBackend() = default;

VirtualMouse &VirtualMouseBackend::addMouse(int family, const DeviceEntry &row)
{
    m_mice.push_back(std::make_unique<VirtualMouse>(family, row));
    VirtualMouse &mouse = *m_mice.back();
    // Like the system's notification, it arrives through the event loop.
    mouse.m_notify = [this] {
        QMetaObject::invokeMethod(
            this, [this] { emit devicesChanged(); }, Qt::QueuedConnection);
    };
    return mouse;
}

QList<HidInterfaceInfo> VirtualMouseBackend::enumerate(unsigned short vid, unsigned short pid)
{
    QList<HidInterfaceInfo> result;
    for (std::size_t i = 0; i < m_mice.size(); ++i) {
        VirtualMouse &mouse = *m_mice[i];
        const DeviceEntry &row = mouse.m_row;
        if (!mouse.isPluggedIn() || (vid && vid != row.vid) || (pid && pid != row.pid))
            continue;
        const QString base = QStringLiteral("virtual:%1:").arg(i);
        result.append({base + QLatin1Char('0'), row.usagePage, row.usage});
        result.append({base + QLatin1Char('1'), row.usagePage2, row.usage2});
    }
    return result;
}

VirtualMouse *VirtualMouseBackend::mouseOfPath(const QString &path, int *interface)
{
    const QStringList parts = path.split(QLatin1Char(':'));
    if (parts.size() != 3 || parts[0] != QLatin1String("virtual"))
        return nullptr;
    bool ok1 = false;
    bool ok2 = false;
    const int index = parts[1].toInt(&ok1);
    const int i = parts[2].toInt(&ok2);
    if (!ok1 || !ok2 || index < 0 || index >= mouseCount() || i < 0 || i > 1)
        return nullptr;
    if (interface)
        *interface = i;
    return m_mice[std::size_t(index)].get();
}

HidHandlePtr VirtualMouseBackend::open(const QString &path)
{
    int interface = 0;
    VirtualMouse *mouse = mouseOfPath(path, &interface);
    if (!mouse)
        return nullptr;
    QMutexLocker lock(&mouse->m_mutex);
    if (!mouse->m_plugged || mouse->m_accessDenied)
        return nullptr;
    ++mouse->m_openCount;
    ++mouse->m_openHandles;
    return adopt(new VirtualHandle(mouse, interface, mouse->m_generation));
}

bool VirtualMouseBackend::isAccessDenied(const QString &path)
{
    VirtualMouse *mouse = mouseOfPath(path);
    return mouse && mouse->isPluggedIn() && mouse->isAccessDenied();
}

int VirtualMouseBackend::setNonblocking(HidHandle *handle, int nonblock)
{
    Q_UNUSED(nonblock)
    VirtualHandle *h = virtualHandle(handle);
    if (!h)
        return -1;
    QMutexLocker lock(&h->mouse->m_mutex);
    return h->mouse->isValid(h->generation) ? 0 : -1;
}

int VirtualMouseBackend::sendFeatureReport(HidHandle *handle, const unsigned char *data,
                                           std::size_t length)
{
    VirtualHandle *h = virtualHandle(handle);
    if (!h || !data)
        return -1;
    VirtualMouse &mouse = *h->mouse;
    QMutexLocker lock(&mouse.m_mutex);
    if (!mouse.isValid(h->generation) || mouse.dropsReport())
        return -1;
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(length));
    QByteArray plain = bytes;
    if (length != Firmware::reportSize || h->interface != 0 || data[0] != 0) {
        mouse.record(VirtualMouse::Channel::Feature, bytes, plain);
        mouse.error(QStringLiteral("feature report of %1 bytes on interface %2")
                        .arg(length)
                        .arg(h->interface));
    } else {
        if (mouse.m_row.isEncode)
            Firmware::unscramble(plain, mouse.m_key);
        mouse.record(VirtualMouse::Channel::Feature, bytes, plain);
        mouse.handleCommand(plain);
    }
    mouse.countReport();
    return int(length);
}

int VirtualMouseBackend::getFeatureReport(HidHandle *handle, unsigned char *data,
                                          std::size_t length)
{
    VirtualHandle *h = virtualHandle(handle);
    if (!h || !data)
        return -1;
    VirtualMouse &mouse = *h->mouse;
    QMutexLocker lock(&mouse.m_mutex);
    if (!mouse.isValid(h->generation) || !mouse.m_answering || h->interface != 0 ||
        mouse.m_fault == VirtualMouse::Fault::Silent)
        return -1;
    if (mouse.m_fault == VirtualMouse::Fault::DropReply) {
        mouse.m_fault = VirtualMouse::Fault::None;
        return -1;
    }
    const QByteArray reply = mouse.m_replyOverride.isNull()
                                 ? (mouse.m_reply.isEmpty() ? QByteArray(9, '\0') : mouse.m_reply)
                                 : mouse.m_replyOverride;
    const std::size_t n = std::min<std::size_t>(length, std::size_t(reply.size()));
    std::copy_n(reply.constData(), n, data);
    return int(n);
}

int VirtualMouseBackend::write(HidHandle *handle, const unsigned char *data, std::size_t length)
{
    VirtualHandle *h = virtualHandle(handle);
    if (!h || !data)
        return -1;
    VirtualMouse &mouse = *h->mouse;
    QMutexLocker lock(&mouse.m_mutex);
    if (!mouse.isValid(h->generation) || mouse.dropsReport())
        return -1;
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(length));
    mouse.record(VirtualMouse::Channel::Output, bytes, bytes);
    const int reportLength = mouse.m_row.reportLength;
    if (h->interface != 0 || int(length) != reportLength + 1 || data[0] != 0) {
        mouse.error(QStringLiteral("output report of %1 bytes").arg(length));
    } else if (mouse.m_pending.command.isEmpty()) {
        mouse.error(QStringLiteral("output report without a command"));
    } else {
        VirtualMouse::Pending &pending = mouse.m_pending;
        const int take = std::min(reportLength, pending.expected - int(pending.data.size()));
        pending.data.append(bytes.mid(1, take));
        if (pending.data.size() >= pending.expected)
            mouse.finishData();
    }
    mouse.countReport();
    return int(length);
}

int VirtualMouseBackend::read(HidHandle *handle, unsigned char *data, std::size_t length)
{
    return readTimeout(handle, data, length, -1);
}

int VirtualMouseBackend::readTimeout(HidHandle *handle, unsigned char *data, std::size_t length,
                                     int milliseconds)
{
    return readOrStop(handle, data, length, milliseconds, nullptr);
}

int VirtualMouseBackend::readUntilStopped(HidHandle *handle, unsigned char *data,
                                          std::size_t length, HidStopSignal &stop)
{
    VirtualHandle *h = virtualHandle(handle);
    if (!h)
        return -1;
    VirtualMouse *mouse = h->mouse;
    // Set before the mouse's lock is taken: a raise takes that lock to wake
    // the wait, so it cannot slip in between the check and the wait.
    stop.setWaker([mouse] {
        QMutexLocker lock(&mouse->m_mutex);
        mouse->m_inputArrived.wakeAll();
    });
    const int n = readOrStop(handle, data, length, -1, &stop);
    stop.setWaker(nullptr);
    return n;
}

int VirtualMouseBackend::readOrStop(HidHandle *handle, unsigned char *data, std::size_t length,
                                    int milliseconds, const HidStopSignal *stop)
{
    VirtualHandle *h = virtualHandle(handle);
    if (!h || !data)
        return -1;
    VirtualMouse &mouse = *h->mouse;
    QMutexLocker lock(&mouse.m_mutex);
    std::deque<QByteArray> &queue = mouse.m_input[h->interface];
    QDeadlineTimer deadline(milliseconds < 0 ? QDeadlineTimer(QDeadlineTimer::Forever)
                                             : QDeadlineTimer(milliseconds));
    while (mouse.isValid(h->generation) && queue.empty() && !(stop && stop->isRaised())) {
        if (!mouse.m_inputArrived.wait(&mouse.m_mutex, deadline))
            break;
    }
    if (!mouse.isValid(h->generation))
        return -1; // a removed device fails its reads at once
    if (queue.empty())
        return 0;
    const QByteArray report = queue.front();
    queue.pop_front();
    const std::size_t n = std::min<std::size_t>(length, std::size_t(report.size()));
    std::copy_n(report.constData(), n, data);
    return int(n);
}

void VirtualMouseBackend::close(HidHandle *handle)
{
    VirtualHandle *h = virtualHandle(handle);
    {
        QMutexLocker lock(&h->mouse->m_mutex);
        --h->mouse->m_openHandles;
    }
    delete h;
}
