#pragma once

#include <QString>
#include <memory>

// The desktop's own mouse settings that go with a profile: pointer speed,
// double-click time and wheel scroll lines. Each setter answers whether the
// desktop took the value.
class PointerSettings
{
public:
    virtual ~PointerSettings() = default;

    // `speed` on the 1..20 scale where 10 is the desktop's neutral speed.
    virtual bool setPointerSpeed(int speed) = 0;
    virtual bool setDoubleClickTime(int milliseconds) = 0;
    virtual bool setWheelScrollLines(unsigned lines) = 0;

    // The implementation for the platform the program runs on.
    static std::unique_ptr<PointerSettings> createSystem();

    // The scene's slider levels (0..10) as desktop values.
    static int pointerSpeedForLevel(unsigned level);
    static int doubleClickTimeForLevel(unsigned level);
};

#ifdef Q_OS_LINUX
// GNOME's mouse settings through GSettings where that schema is installed;
// otherwise X11 pointer acceleration for the speed. Neither offers a
// desktop-wide wheel scroll amount.
class LinuxPointerSettings : public PointerSettings
{
public:
    explicit LinuxPointerSettings(
        const QString &schemaId = QStringLiteral("org.gnome.desktop.peripherals.mouse"));

    bool setPointerSpeed(int speed) override;
    bool setDoubleClickTime(int milliseconds) override;
    bool setWheelScrollLines(unsigned lines) override;

    // GNOME's speed runs from -1 (slowest) to 1 (fastest), 0 being neutral.
    static double gnomeSpeed(int speed);

private:
    QString m_schemaId;
};
#endif
