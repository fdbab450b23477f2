#include "globalinputhooks.h"

#include "qtsinglecoreapplication.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QObject>

#ifdef Q_OS_WIN
#include <QAbstractNativeEventFilter>

// Decodes a WM_COPYDATA message; defined in the Win32 backend.
bool decodeCopyDataMessage(const void *nativeMessage, CopyDataRecord *record);
#endif

namespace {
struct ScanEntry
{
    std::uint8_t scan;
    bool extended;
    std::uint8_t virtualKey;
};

// Set-1 scan codes of a US keyboard as the low-level hook reports them.
// Keypad Enter gets 0x0E, unused by any other key, to keep it apart from the
// main Enter; right Shift arrives with the extended flag; scan 0x45 is Pause
// without the flag and Num Lock with it.
constexpr ScanEntry scanTable[] = {
    {0x01, false, 0x1B}, {0x02, false, 0x31}, {0x03, false, 0x32}, {0x04, false, 0x33},
    {0x05, false, 0x34}, {0x06, false, 0x35}, {0x07, false, 0x36}, {0x08, false, 0x37},
    {0x09, false, 0x38}, {0x0A, false, 0x39}, {0x0B, false, 0x30}, {0x0C, false, 0xBD},
    {0x0D, false, 0xBB}, {0x0E, false, 0x08}, {0x0F, false, 0x09}, {0x10, false, 0x51},
    {0x11, false, 0x57}, {0x12, false, 0x45}, {0x13, false, 0x52}, {0x14, false, 0x54},
    {0x15, false, 0x59}, {0x16, false, 0x55}, {0x17, false, 0x49}, {0x18, false, 0x4F},
    {0x19, false, 0x50}, {0x1A, false, 0xDB}, {0x1B, false, 0xDD}, {0x1C, false, 0x0D},
    {0x1C, true, 0x0E},  {0x1D, false, 0xA2}, {0x1D, true, 0xA3},  {0x1E, false, 0x41},
    {0x1F, false, 0x53}, {0x20, false, 0x44}, {0x21, false, 0x46}, {0x22, false, 0x47},
    {0x23, false, 0x48}, {0x24, false, 0x4A}, {0x25, false, 0x4B}, {0x26, false, 0x4C},
    {0x27, false, 0xBA}, {0x28, false, 0xDE}, {0x29, false, 0xC0}, {0x2A, false, 0xA0},
    {0x2B, false, 0xDC}, {0x2C, false, 0x5A}, {0x2D, false, 0x58}, {0x2E, false, 0x43},
    {0x2F, false, 0x56}, {0x30, false, 0x42}, {0x31, false, 0x4E}, {0x32, false, 0x4D},
    {0x33, false, 0xBC}, {0x34, false, 0xBE}, {0x35, false, 0xBF}, {0x35, true, 0x6F},
    {0x36, true, 0xA1},  {0x37, false, 0x6A}, {0x37, true, 0x2C},  {0x38, false, 0xA4},
    {0x38, true, 0xA5},  {0x39, false, 0x20}, {0x3A, false, 0x14}, {0x3B, false, 0x70},
    {0x3C, false, 0x71}, {0x3D, false, 0x72}, {0x3E, false, 0x73}, {0x3F, false, 0x74},
    {0x40, false, 0x75}, {0x41, false, 0x76}, {0x42, false, 0x77}, {0x43, false, 0x78},
    {0x44, false, 0x79}, {0x45, false, 0x13}, {0x45, true, 0x90},  {0x46, false, 0x91},
    {0x47, false, 0x67}, {0x47, true, 0x24},  {0x48, false, 0x68}, {0x48, true, 0x26},
    {0x49, false, 0x69}, {0x49, true, 0x21},  {0x4A, false, 0x6D}, {0x4B, false, 0x64},
    {0x4B, true, 0x25},  {0x4C, false, 0x65}, {0x4D, false, 0x66}, {0x4D, true, 0x27},
    {0x4E, false, 0x6B}, {0x4F, false, 0x61}, {0x4F, true, 0x23},  {0x50, false, 0x62},
    {0x50, true, 0x28},  {0x51, false, 0x63}, {0x51, true, 0x22},  {0x52, false, 0x60},
    {0x52, true, 0x2D},  {0x53, false, 0x6E}, {0x53, true, 0x2E},  {0x56, false, 0xE2},
    {0x57, false, 0x7A}, {0x58, false, 0x7B}, {0x5B, true, 0x5B},  {0x5D, true, 0x5D},
    {0x6E, false, 0x86},
};

struct UsageEntry
{
    std::uint8_t virtualKey;
    std::uint8_t usage;
};

// Runs of consecutive codes (digits, letters, keypad, F keys) are added in
// fillTables().
constexpr UsageEntry usageTable[] = {
    {0x08, 0x2A}, {0x09, 0x2B}, {0x0D, 0x28}, {0x0E, 0x58}, {0x13, 0x48}, {0x14, 0x39},
    {0x1B, 0x29}, {0x20, 0x2C}, {0x21, 0x4B}, {0x22, 0x4E}, {0x23, 0x4D}, {0x24, 0x4A},
    {0x25, 0x50}, {0x26, 0x52}, {0x27, 0x4F}, {0x28, 0x51}, {0x2C, 0x46}, {0x2D, 0x49},
    {0x2E, 0x4C}, {0x30, 0x27}, {0x5B, 0xE3}, {0x5C, 0xE7}, {0x5D, 0x65}, {0x60, 0x62},
    {0x6A, 0x55}, {0x6B, 0x57}, {0x6D, 0x56}, {0x6E, 0x63}, {0x6F, 0x54}, {0x90, 0x53},
    {0x91, 0x47}, {0xA0, 0xE1}, {0xA1, 0xE5}, {0xA2, 0xE0}, {0xA3, 0xE4}, {0xA4, 0xE2},
    {0xA5, 0xE6}, {0xBA, 0x33}, {0xBB, 0x2E}, {0xBC, 0x36}, {0xBD, 0x2D}, {0xBE, 0x37},
    {0xBF, 0x38}, {0xC0, 0x35}, {0xC1, 0x87}, {0xC2, 0x85}, {0xDB, 0x2F}, {0xDC, 0x31},
    {0xDD, 0x30}, {0xDE, 0x34}, {0xE2, 0x64}, {0xEB, 0x8B}, {0xFF, 0x66},
};

struct UsageRun
{
    std::uint8_t firstVirtualKey;
    std::uint8_t lastVirtualKey;
    std::uint8_t firstUsage;
};

constexpr UsageRun usageRuns[] = {
    {0x31, 0x39, 0x1E}, // 1..9
    {0x41, 0x5A, 0x04}, // A..Z
    {0x61, 0x69, 0x59}, // keypad 1..9
    {0x70, 0x7B, 0x3A}, // F1..F12
    {0x7C, 0x87, 0x68}, // F13..F24
};

constexpr GlobalInputHooks::MouseButton mouseButtons[] = {
    {0xF0, true}, {0xF0, false}, {0, false}, // left; double click ignored
    {0xF1, true}, {0xF1, false}, {0, false}, // right
    {0xF2, true}, {0xF2, false},             // middle
};

std::uint16_t scanKey(std::uint32_t scanCode, bool extended)
{
    return std::uint16_t((scanCode << 8) | (extended ? 1 : 0));
}
} // namespace

#ifdef Q_OS_WIN
struct GlobalInputHooks::CopyDataConnection : QAbstractNativeEventFilter
{
    explicit CopyDataConnection(GlobalInputHooks *hooks) : hooks(hooks) {}
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override
    {
        Q_UNUSED(eventType)
        CopyDataRecord record;
        if (!decodeCopyDataMessage(message, &record))
            return false;
        hooks->copyData(record);
        if (result)
            *result = 1;
        return true;
    }
    GlobalInputHooks *hooks;
};
#else
// Other processes reach the running copy through its single-instance
// socket. The handler runs from the event loop rather than inside the
// socket's read notification, since a warning box spins a nested loop.
// Records still queued when the connection goes are dropped with their
// receiver.
struct GlobalInputHooks::CopyDataConnection
{
    QObject receiver;
};
#endif

GlobalInputHooks::GlobalInputHooks(std::unique_ptr<InputHookBackend> backend)
    : m_backend(std::move(backend))
{
    fillTables();
}

GlobalInputHooks::~GlobalInputHooks()
{
    removeHooks();
#ifdef Q_OS_WIN
    if (m_copyDataConnection && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(m_copyDataConnection.get());
#endif
    m_copyDataConnection.reset();
}

const char *GlobalInputHooks::backendName() const
{
    return m_backend ? m_backend->name() : "none";
}

void GlobalInputHooks::fillTables()
{
    for (const ScanEntry &entry : scanTable)
        m_scanToVirtualKey[scanKey(entry.scan, entry.extended)] = entry.virtualKey;
    for (const UsageEntry &entry : usageTable)
        m_virtualKeyToUsage[entry.virtualKey] = entry.usage;
    for (const UsageRun &run : usageRuns) {
        for (int vk = run.firstVirtualKey; vk <= run.lastVirtualKey; ++vk)
            m_virtualKeyToUsage[std::uint8_t(vk)] =
                std::uint8_t(run.firstUsage + (vk - run.firstVirtualKey));
    }
}

bool GlobalInputHooks::installHooks()
{
    if (m_keyboardHooked || m_mouseHooked)
        removeHooks();
    if (!m_backend)
        return false;
    const bool keyboard = m_backend->install(InputHookBackend::Keyboard, *this);
    const bool mouse = m_backend->install(InputHookBackend::Mouse, *this);
    if (keyboard && mouse) {
        m_keyboardHooked = m_mouseHooked = true;
        return true;
    }
    if (keyboard)
        m_backend->remove(InputHookBackend::Keyboard);
    if (mouse)
        m_backend->remove(InputHookBackend::Mouse);
    return false;
}

void GlobalInputHooks::setCaptureActive(bool active)
{
    if (!active) {
        removeHooks();
    } else if (!isInstalled()) {
        // A key held when the last capture ended must not swallow its next
        // press as a repeat.
        m_keyDownState.fill(0);
        installHooks();
    }
}

void GlobalInputHooks::removeHooks()
{
    if (m_keyboardHooked)
        m_backend->remove(InputHookBackend::Keyboard);
    m_keyboardHooked = false;
    if (m_mouseHooked)
        m_backend->remove(InputHookBackend::Mouse);
    m_mouseHooked = false;
}

void GlobalInputHooks::setKeyboardCallback(KeyboardCallback callback, void *context)
{
    m_keyboardCallback = callback;
    m_keyboardContext = context;
}

void GlobalInputHooks::setMouseCallback(MouseCallback callback, void *context)
{
    m_mouseCallback = callback;
    m_mouseContext = context;
}

void GlobalInputHooks::setCopyDataHandler(CopyDataHandler handler,
                                          QtSingleCoreApplication *application, void *context)
{
    m_copyDataHandler = handler;
    m_copyDataContext = context;
#ifdef Q_OS_WIN
    if (application && !m_copyDataConnection) {
        m_copyDataConnection = std::make_unique<CopyDataConnection>(this);
        application->installNativeEventFilter(m_copyDataConnection.get());
    }
#else
    m_copyDataConnection.reset();
    if (application) {
        m_copyDataConnection = std::make_unique<CopyDataConnection>();
        QObject::connect(
            application, &QtSingleCoreApplication::copyDataReceived,
            &m_copyDataConnection->receiver,
            [this](quint64 tag, quint32 byteCount, const QByteArray &payload) {
                CopyDataRecord record;
                record.tag = tag;
                record.byteCount = byteCount;
                record.data = payload.constData();
                record.size = std::size_t(payload.size());
                copyData(record);
            },
            Qt::QueuedConnection);
    }
#endif
}

void GlobalInputHooks::copyData(const CopyDataRecord &record)
{
    if (m_copyDataHandler)
        m_copyDataHandler(record, m_copyDataContext);
}

std::uint8_t GlobalInputHooks::virtualKeyFor(std::uint32_t scanCode, std::uint32_t flags) const
{
    if (scanCode > 0xFF)
        scanCode = 0;
    const bool extended = flags & Extended;
    if (scanCode == 0x46 && extended)
        return 0x13; // Ctrl+Break reads as Pause
    if (scanCode == 0x54 && (flags & AltDown))
        return 0x2C; // Alt+Print Screen reads as Print Screen
    const auto found = m_scanToVirtualKey.find(scanKey(scanCode, extended));
    return found == m_scanToVirtualKey.end() ? 0 : found->second;
}

std::uint8_t GlobalInputHooks::usageFor(std::uint8_t virtualKey) const
{
    const auto found = m_virtualKeyToUsage.find(virtualKey);
    return found == m_virtualKeyToUsage.end() ? 0 : found->second;
}

GlobalInputHooks::MouseButton GlobalInputHooks::mouseButtonFor(std::uint32_t message)
{
    if (message < LeftButtonDown || message > MiddleButtonUp)
        return {};
    return mouseButtons[message - LeftButtonDown];
}

void GlobalInputHooks::keyboardEvent(std::uint32_t scanCode, std::uint32_t flags, bool down)
{
    const std::uint8_t virtualKey = virtualKeyFor(scanCode, flags);
    if (!virtualKey)
        return;
    const std::uint8_t usage = usageFor(virtualKey);
    if (!usage)
        return;
    // Drops the auto-repeat of a held key and a release without its press.
    if (m_keyDownState[usage] == std::uint8_t(down))
        return;
    m_keyDownState[usage] = down;
    if (m_keyboardCallback)
        m_keyboardCallback(usage, down, m_keyboardContext);
}

void GlobalInputHooks::mouseMessage(std::uint32_t message, int x, int y)
{
    const MouseButton button = mouseButtonFor(message);
    if (button.code && m_mouseCallback)
        m_mouseCallback(button.code, button.down, x, y, m_mouseContext);
}
