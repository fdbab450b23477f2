#pragma once

#include "pointersettings.h"

#include <QString>

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
