#pragma once

// Kept free of Qt: the Windows backend includes it and is checked with a
// plain Win32 compiler.

#include "inputhookbackend.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

class QtSingleCoreApplication;

// A data record that another process hands to the program.
struct CopyDataRecord
{
    std::uint64_t tag = 0;
    std::uint32_t byteCount = 0; // as declared by the sender
    const char *data = nullptr;  // the bytes actually delivered
    std::size_t size = 0;
};

// System-wide key and mouse-button capture for the macro recorder and the
// key-capture fields. Events arrive as Windows-style scan codes and mouse
// messages from a platform backend and leave as USB HID keyboard usages
// (page 0x07) and the button codes 0xF0..0xF2, without key auto-repeat.
// Nothing is ever swallowed: the backends only watch, and only while a
// capture is active: a mouse utility has no business seeing what the user
// types into other programs.
//
// One instance per process; a backend gets it with each hook it installs.
class GlobalInputHooks
{
public:
    using KeyboardCallback = void (*)(std::uint8_t usage, bool down, void *context);
    using MouseCallback = void (*)(std::uint8_t button, bool down, int x, int y, void *context);
    using CopyDataHandler = void (*)(const CopyDataRecord &record, void *context);

    // Bits of the keyboard event flags.
    enum KeyFlag : std::uint32_t { Extended = 0x01, AltDown = 0x20 };
    // Mouse messages the button table knows.
    enum MouseMessage : std::uint32_t {
        LeftButtonDown = 0x201,
        LeftButtonUp = 0x202,
        LeftButtonDoubleClick = 0x203,
        RightButtonDown = 0x204,
        RightButtonUp = 0x205,
        RightButtonDoubleClick = 0x206,
        MiddleButtonDown = 0x207,
        MiddleButtonUp = 0x208,
    };
    struct MouseButton
    {
        std::uint8_t code = 0; // 0: not a button event
        bool down = false;
    };

    // Fills the lookup tables; the hooks of `backend` (none: no capture at
    // all) go in only while a capture is active.
    explicit GlobalInputHooks(
        std::unique_ptr<InputHookBackend> backend = makePlatformInputHookBackend());
    ~GlobalInputHooks();
    GlobalInputHooks(const GlobalInputHooks &) = delete;
    GlobalInputHooks &operator=(const GlobalInputHooks &) = delete;

    // True while both hooks are in place.
    bool isInstalled() const { return m_keyboardHooked && m_mouseHooked; }
    const char *backendName() const;

    void setKeyboardCallback(KeyboardCallback callback, void *context);
    void setMouseCallback(MouseCallback callback, void *context);
    // Lets other processes hand the program data records through
    // `application`; `handler` sees each of them with `context`.
    void setCopyDataHandler(CopyDataHandler handler, QtSingleCoreApplication *application,
                            void *context);
    // Installs both hooks while `active`, removes them otherwise. Key states
    // start afresh with every capture.
    void setCaptureActive(bool active);
    // Keyboard hook first, then the mouse hook.
    void removeHooks();

    // Entry points of the backends. `flags` holds KeyFlag bits.
    void keyboardEvent(std::uint32_t scanCode, std::uint32_t flags, bool down);
    void mouseMessage(std::uint32_t message, int x, int y);
    void copyData(const CopyDataRecord &record);

    // The translation, step by step (0: no such key).
    std::uint8_t virtualKeyFor(std::uint32_t scanCode, std::uint32_t flags) const;
    std::uint8_t usageFor(std::uint8_t virtualKey) const;
    static MouseButton mouseButtonFor(std::uint32_t message);

    const std::map<std::uint16_t, std::uint8_t> &scanToVirtualKey() const
    {
        return m_scanToVirtualKey;
    }
    const std::map<std::uint8_t, std::uint8_t> &virtualKeyToUsage() const
    {
        return m_virtualKeyToUsage;
    }
    bool isKeyDown(std::uint8_t usage) const { return m_keyDownState[usage] != 0; }

private:
    struct CopyDataConnection;

    void fillTables();
    bool installHooks();

    std::unique_ptr<InputHookBackend> m_backend;
    bool m_keyboardHooked = false;
    bool m_mouseHooked = false;

    KeyboardCallback m_keyboardCallback = nullptr;
    void *m_keyboardContext = nullptr;
    MouseCallback m_mouseCallback = nullptr;
    void *m_mouseContext = nullptr;
    CopyDataHandler m_copyDataHandler = nullptr;
    void *m_copyDataContext = nullptr;
    std::unique_ptr<CopyDataConnection> m_copyDataConnection;

    std::map<std::uint16_t, std::uint8_t> m_scanToVirtualKey;
    std::map<std::uint8_t, std::uint8_t> m_virtualKeyToUsage;
    // One byte per usage: 1 while the key is down. A release seen without its
    // press is dropped.
    std::array<std::uint8_t, 256> m_keyDownState{};
};
