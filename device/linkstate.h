#pragma once

#include <QString>

// Process-wide state of the device link, used on the GUI thread only.

// The secrecy code of the served device: bytes 1 to 6 from its sCode, bytes
// 0 and 7 always 0.
extern unsigned char secrecyCode[8];

// The eight captions of the DPI-stage tray notice, one per stage; "DPI
// Switch to" until the localised strings replace them.
constexpr int dpiSwitchTextCount = 8;
extern QString dpiSwitchText[dpiSwitchTextCount];
