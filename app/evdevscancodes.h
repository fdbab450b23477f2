#pragma once

#include <cstdint>

// Linux evdev key codes (X keycode - 8) as the set-1 scan code and extended
// flag that a Windows low-level keyboard hook reports for the same key, so
// that every platform feeds the same translation tables.
namespace EvdevScanCodes {

struct ScanCode
{
    std::uint8_t scan = 0; // 0: unknown key
    bool extended = false;
};

ScanCode forEvdev(unsigned evdevCode);

} // namespace EvdevScanCodes
