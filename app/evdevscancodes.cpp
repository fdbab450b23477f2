#include "evdevscancodes.h"

namespace EvdevScanCodes {
namespace {
struct Entry
{
    std::uint16_t evdev;
    std::uint8_t scan;
    bool extended;
};

// Codes from 1 to 83 are the set-1 scan codes themselves, except where a
// hook reports a key differently (Num Lock, right Shift). Sorted by evdev.
constexpr Entry exceptions[] = {
    {54, 0x36, true},   // right Shift
    {69, 0x45, true},   // Num Lock; Pause is 0x45 without the flag
    {86, 0x56, false},  // the extra key of 102-key layouts
    {87, 0x57, false},  // F11
    {88, 0x58, false},  // F12
    {89, 0x73, false},  // Ro
    {92, 0x79, false},  // Henkan
    {93, 0x70, false},  // Katakana/Hiragana
    {94, 0x7B, false},  // Muhenkan
    {96, 0x1C, true},   // keypad Enter
    {97, 0x1D, true},   // right Ctrl
    {98, 0x35, true},   // keypad /
    {99, 0x37, true},   // Print Screen (also with Alt)
    {100, 0x38, true},  // right Alt
    {102, 0x47, true},  // Home
    {103, 0x48, true},  // Up
    {104, 0x49, true},  // Page Up
    {105, 0x4B, true},  // Left
    {106, 0x4D, true},  // Right
    {107, 0x4F, true},  // End
    {108, 0x50, true},  // Down
    {109, 0x51, true},  // Page Down
    {110, 0x52, true},  // Insert
    {111, 0x53, true},  // Delete
    {113, 0x20, true},  // Mute
    {114, 0x2E, true},  // Volume Down
    {115, 0x30, true},  // Volume Up
    {117, 0x59, false}, // keypad =
    {119, 0x45, false}, // Pause (Ctrl+Break too)
    {121, 0x7E, false}, // keypad ,
    {124, 0x7D, false}, // Yen
    {125, 0x5B, true},  // left Windows
    {126, 0x5C, true},  // right Windows
    {127, 0x5D, true},  // Menu
    {183, 0x64, false}, // F13
    {184, 0x65, false}, // F14
    {185, 0x66, false}, // F15
    {186, 0x67, false}, // F16
    {187, 0x68, false}, // F17
    {188, 0x69, false}, // F18
    {189, 0x6A, false}, // F19
    {190, 0x6B, false}, // F20
    {191, 0x6C, false}, // F21
    {192, 0x6D, false}, // F22
    {193, 0x6E, false}, // F23
    {194, 0x76, false}, // F24
};
} // namespace

ScanCode forEvdev(unsigned evdevCode)
{
    for (const Entry &entry : exceptions) {
        if (entry.evdev == evdevCode)
            return {entry.scan, entry.extended};
    }
    if (evdevCode >= 1 && evdevCode <= 83)
        return {std::uint8_t(evdevCode), false};
    return {};
}

} // namespace EvdevScanCodes
