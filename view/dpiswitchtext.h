#pragma once

#include <QString>

// Captions of the tray notice shown when the mouse switches its DPI stage,
// one per stage; the "other" language group replaces them.
constexpr int dpiSwitchTextCount = 8;
extern QString dpiSwitchText[dpiSwitchTextCount];
