#include "gunpresets.h"

#include "gundatafile.h"
#include "settingsstore.h"
#include "storedvalues.h"

namespace GunPresets {

namespace {
const QString selectGunKey = QStringLiteral("mouse/selectGun");
const char *const presetNames[presetCount] = {"M416", "AKM", "M16A4", "SCAR-L", "UNP9", "Thomson"};
// Y of the factory reset for presets 0, 1 and 2, and their period.
const char *const resetY[slotCount] = {"5", "7", "8"};
const QString resetPeriod = QStringLiteral("9");
constexpr int minPeriod = 4;
constexpr int maxPeriod = 90;
constexpr int maxY = 64;
constexpr int defaultPeriod = 10;

// `text` as a whole number within low..high, or `fallback` when it is none.
QString inRange(const QVariant &text, int low, int high, const QString &fallback)
{
    const QString trimmed = text.toString().trimmed();
    if (!StoredValues::isInteger(trimmed))
        return fallback;
    return QString::number(std::clamp(StoredValues::toInt(trimmed, 0), low, high));
}

int toByte(const QString &text)
{
    // The leading digits, as the editor reads a field.
    return std::clamp(StoredValues::toInt(StoredValues::leadingInteger(text), 0), 0, 255);
}

Preset builtIn(int row)
{
    Preset preset;
    preset.name = QString::fromLatin1(presetNames[std::clamp(row, 0, presetCount - 1)]);
    return preset;
}
} // namespace

QList<int> Preset::slotValues() const
{
    return {toByte(times), toByte(x), toByte(y)};
}

int Preset::firePeriod() const
{
    return StoredValues::toInt(StoredValues::leadingInteger(period), defaultPeriod);
}

QVariantList Preset::record() const
{
    return {name, key, period, x, y, times};
}

Preset preset(const SettingsStore &store, int row)
{
    Preset preset = builtIn(row);
    const QVariantList record =
        GunDataFile(store.root(), store.setAsideNotice()).record(QString::number(row));
    // A record shorter than six values leaves the preset as it is.
    if (record.size() < 6)
        return preset;
    preset.key = record.at(1).toString();
    preset.period = inRange(record.at(2), minPeriod, maxPeriod, preset.period);
    preset.x = inRange(record.at(3), 0, 255, preset.x);
    preset.y = inRange(record.at(4), 0, maxY, preset.y);
    preset.times = inRange(record.at(5), 0, 255, preset.times);
    return preset;
}

std::array<int, slotCount> slotPresets(const SettingsStore &store)
{
    const QList<int> stored = StoredValues::intList(store.globalData(selectGunKey), {0, 0, 0});
    return {std::clamp(stored[0], 0, presetCount - 1), std::clamp(stored[1], 0, presetCount - 1),
            std::clamp(stored[2], 0, presetCount - 1)};
}

QList<int> firePeriods(const SettingsStore &store)
{
    QList<int> periods;
    for (int row : slotPresets(store))
        periods.append(preset(store, row).firePeriod());
    return periods;
}

std::array<QList<int>, slotCount> reset(SettingsStore &store, bool *written)
{
    bool ok = store.setGlobalData(selectGunKey, QVariantList{0, 1, 2});
    GunDataFile file(store.root(), store.setAsideNotice());
    std::array<QList<int>, slotCount> values;
    for (int i = 0; i < slotCount; ++i) {
        Preset reset = preset(store, i);
        reset.y = QString::fromLatin1(resetY[i]);
        reset.period = resetPeriod;
        ok = file.saveRecord(QString::number(i), reset.record()) && ok;
        values[std::size_t(i)] = reset.slotValues();
    }
    if (written)
        *written = ok;
    return values;
}

} // namespace GunPresets
