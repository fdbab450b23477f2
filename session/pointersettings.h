#pragma once

#include <memory>

// The desktop's own mouse settings that go with a profile: pointer speed,
// double-click time and wheel scroll lines. Each setter answers whether the
// desktop took the value (read back where the desktop allows). Plain C++,
// so the Windows side builds without Qt.
class PointerSettings
{
public:
    enum Setting { PointerSpeed, DoubleClickTime, WheelScrollLines };

    virtual ~PointerSettings() = default;

    // `speed` on the 1..20 scale where 10 is the desktop's neutral speed.
    virtual bool setPointerSpeed(int speed) = 0;
    virtual bool setDoubleClickTime(int milliseconds) = 0;
    virtual bool setWheelScrollLines(unsigned lines) = 0;
    // False for a setting this desktop has no place for at all, so that
    // the screen can say so instead of pretending to apply it.
    virtual bool canSet(Setting setting) const
    {
        (void)setting;
        return true;
    }

    // The implementation for the platform the program runs on.
    static std::unique_ptr<PointerSettings> createSystem();

    // The scene's slider levels (0..10) as desktop values.
    static int pointerSpeedForLevel(unsigned level);
    static int doubleClickTimeForLevel(unsigned level);
};
