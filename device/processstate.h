#pragma once

#include <QString>
#include <atomic>

// The few values the whole process shares, each written in one place and
// read in others. Everything else belongs to the object that uses it.
struct ProcessState
{
    static constexpr int dpiSwitchTextCount = 8;

    // Set while detection has confirmed a mouse; the window may only be
    // brought back from the tray while it is set.
    std::atomic<bool> deviceConnected{false};
    // The secrecy code of the served device: bytes 1 to 6 from its sCode,
    // bytes 0 and 7 always 0. Used on the GUI thread only.
    unsigned char secrecyCode[8] = {};
    // The eight captions of the DPI-stage tray notice, one per stage; "DPI
    // Switch to" until the localised strings replace them. GUI thread only.
    QString dpiSwitchText[dpiSwitchTextCount] = {
        QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
        QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
        QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
        QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
    };
};

extern ProcessState processState;
