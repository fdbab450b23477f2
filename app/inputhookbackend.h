#pragma once

// Kept free of Qt: the Windows backend includes it and is checked with a
// plain Win32 compiler.

#include <memory>

class GlobalInputHooks;

// Where global key and button events come from. A backend feeds raw events
// into GlobalInputHooks, which translates them the same way on every
// platform.
class InputHookBackend
{
public:
    enum Hook { Keyboard, Mouse };

    virtual ~InputHookBackend() = default;

    virtual const char *name() const = 0;
    // Starts delivering the events of `hook` to `sink`; false on failure.
    virtual bool install(Hook hook, GlobalInputHooks &sink) = 0;
    virtual void remove(Hook hook) = 0;
};

// The backend this platform offers: the low-level hooks on Windows; on Linux
// XInput 2 when an X display answers at the first capture, otherwise an
// application event filter that sees the program's own windows only.
std::unique_ptr<InputHookBackend> makePlatformInputHookBackend();
