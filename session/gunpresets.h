#pragma once

#include <QList>
#include <QString>
#include <QVariantList>
#include <array>

class SettingsStore;

// The six firing presets (gunData.bin) and the mouse's three gun slots
// (mouse/selectGun), as the gun editor shows them: values brought into the
// ranges the editor offers, so that what it shows is what it sends.
namespace GunPresets {
constexpr int presetCount = 6;
constexpr int slotCount = 3;

struct Preset
{
    QString name;
    QString key = QStringLiteral("L-Click");
    QString period = QStringLiteral("10");
    QString x = QStringLiteral("0");
    QString y = QStringLiteral("10");
    QString times = QStringLiteral("0");

    // What a gun slot sends: times, X, Y.
    QList<int> slotValues() const;
    // The fire period as the key table sends it.
    int firePeriod() const;
    QVariantList record() const;
};

// Preset `row` (0 to 5) as stored over its built-in values.
Preset preset(const SettingsStore &store, int row);
// The presets in gun slots 1, 2 and 3.
std::array<int, slotCount> slotPresets(const SettingsStore &store);
// The fire periods of the presets in the three slots.
QList<int> firePeriods(const SettingsStore &store);

// The factory reset of the gun settings: slots 1..3 hold presets 0..2,
// which get their reset correction and period. Returns the slots' values
// to send; false in `written` when the data folder did not take it all.
std::array<QList<int>, slotCount> reset(SettingsStore &store, bool *written);
} // namespace GunPresets
