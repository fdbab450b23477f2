// Global capture on Windows: the low-level keyboard and mouse hooks. Written
// against Win32 alone (no Qt) so that it can be checked by a cross compiler
// on any build machine.

#include "globalinputhooks.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {
// The system calls the hook procedures without context.
GlobalInputHooks *sink = nullptr;
HHOOK keyboardHook = nullptr;
HHOOK mouseHook = nullptr;

LRESULT CALLBACK lowLevelKeyboardProc(int code, WPARAM wParam, LPARAM lParam)
{
    // Only HC_ACTION carries a record; other codes go straight on.
    if (code == HC_ACTION && sink) {
        const auto *record = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
        const bool down = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
        sink->keyboardEvent(record->scanCode, record->flags, down);
    }
    return CallNextHookEx(keyboardHook, code, wParam, lParam);
}

LRESULT CALLBACK lowLevelMouseProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && sink) {
        const auto *record = reinterpret_cast<const MSLLHOOKSTRUCT *>(lParam);
        sink->mouseMessage(static_cast<std::uint32_t>(wParam), record->pt.x, record->pt.y);
    }
    return CallNextHookEx(mouseHook, code, wParam, lParam);
}

class Win32InputHooks : public InputHookBackend
{
public:
    ~Win32InputHooks() override
    {
        remove(Keyboard);
        remove(Mouse);
        sink = nullptr;
    }

    const char *name() const override { return "win32"; }

    bool install(Hook hook, GlobalInputHooks &hooks) override
    {
        sink = &hooks;
        HMODULE module = GetModuleHandleW(nullptr);
        if (hook == Keyboard) {
            if (!keyboardHook)
                keyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, lowLevelKeyboardProc, module, 0);
            return keyboardHook != nullptr;
        }
        if (!mouseHook)
            mouseHook = SetWindowsHookExW(WH_MOUSE_LL, lowLevelMouseProc, module, 0);
        return mouseHook != nullptr;
    }

    void remove(Hook hook) override
    {
        HHOOK &handle = hook == Keyboard ? keyboardHook : mouseHook;
        if (handle)
            UnhookWindowsHookEx(handle);
        handle = nullptr;
    }
};
} // namespace

std::unique_ptr<InputHookBackend> makePlatformInputHookBackend()
{
    return std::unique_ptr<InputHookBackend>(new Win32InputHooks);
}

// Reads a WM_COPYDATA message for the application's native event filter.
bool decodeCopyDataMessage(const void *nativeMessage, CopyDataRecord *record)
{
    const MSG *message = static_cast<const MSG *>(nativeMessage);
    if (!message || message->message != WM_COPYDATA || !message->lParam)
        return false;
    const auto *copy = reinterpret_cast<const COPYDATASTRUCT *>(message->lParam);
    record->tag = copy->dwData;
    record->byteCount = copy->cbData;
    record->data = static_cast<const char *>(copy->lpData);
    record->size = copy->lpData ? copy->cbData : 0;
    return true;
}
