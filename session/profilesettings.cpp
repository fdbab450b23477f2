#include "profilesettings.h"

#include "settingkeys.h"
#include "settingsstore.h"
#include "storedvalues.h"

#include <cmath>

using namespace StoredValues;

namespace {
// Keys of the scene's settings that the store does not name itself.
const QString mouseDpiCount = QStringLiteral("mouse/dpiCount");
const QString mouseMinDpi = QStringLiteral("mouse/minDPI");
const QString mouseMaxDpi = QStringLiteral("mouse/maxDPI");
const QString mouseSensorType = QStringLiteral("mouse/sensorType");
const QString mouseDpiBase = QStringLiteral("mouse/dpiBase");
const QString mouseLightValue = QStringLiteral("mouse/lightValue");
const QString mouseColorValue = QStringLiteral("mouse/colorValue");
const QString mouseMouseRate = QStringLiteral("mouse/mouseRate");
const QString mouseDoubleRate = QStringLiteral("mouse/doubleRate");
const QString mouseScrollRate = QStringLiteral("mouse/scrollRate");

const QList<int> defaultDpiValues{500, 1000, 1500, 2000, 3000, 4000, 5000, 6000};
const std::array<int, 24> defaultColours{255, 0,   0,   0,   255, 0, 0,  0, 255, 255, 0,   255,
                                         0,   255, 255, 255, 127, 0, 96, 0, 255, 255, 255, 255};
constexpr int rateRows = 4;
constexpr int rateCodes[rateRows] = {8, 4, 2, 1};
constexpr int rateHertzOfRow[rateRows] = {125, 250, 500, 1000};
// The DPI sliders' travel and the pointer tracks' ends and level steps.
constexpr int dpiTravel = 158;
constexpr int pointerMin = 3;
constexpr int pointerMax = 337;
constexpr int levelSteps[] = {4, 37, 70, 104, 138, 172, 205, 239, 272, 305, 338};
constexpr int maxScrollRows = 100;
constexpr int oneScreen = 1000;
constexpr int breathLoop = 4;

// Parameters a category takes where it limits them: macro slots 0..11,
// DPI actions 1..4, gun preset switches 1..3.
bool isKnownRecord(const ProfileSettings::Record &codes)
{
    const int category = codes[0];
    if (category > 0x08 && category != 0xFF)
        return false;
    const int parameter = codes[2];
    switch (category) {
    case 4:
        return parameter >= 0 && parameter <= 11;
    case 5:
        return parameter >= 1 && parameter <= 4;
    case 8:
        return parameter >= 1 && parameter <= 3;
    default:
        return true;
    }
}

bool isLeftClick(const ProfileSettings::Record &codes)
{
    return codes[0] == 0 && codes[2] == 0xF0;
}
} // namespace

const std::array<ProfileSettings::Record, ProfileSettings::buttonCount>
    ProfileSettings::defaultKeys = {{{0x00, 0x00, 0xF0, 0x00},
                                     {0x00, 0x00, 0xF1, 0x00},
                                     {0x00, 0x00, 0xF2, 0x00},
                                     {0x00, 0x00, 0xF4, 0x00},
                                     {0x00, 0x00, 0xF3, 0x00},
                                     {0x05, 0x00, 0x01, 0x00},
                                     {0x05, 0x00, 0x02, 0x00},
                                     {0x00, 0xF0, 0x1E, 0x02},
                                     {0, 0, 0, 0},
                                     {0, 0, 0, 0},
                                     {0, 0, 0, 0},
                                     {0, 0, 0, 0},
                                     {0, 0, 0, 0},
                                     {0, 0, 0, 0},
                                     {0xFF, 0x00, 0x01, 0x00},
                                     {0xFF, 0x00, 0x02, 0x00}}};

ProfileSettings::Record ProfileSettings::recordCodes(const QVariantList &record, int button)
{
    const Record fallback = button >= 0 && button < buttonCount ? defaultKeys[button] : Record{};
    if (record.size() < 4)
        return fallback;
    Record codes{};
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> value = toNumber(record.at(i));
        if (!value || !std::isfinite(*value) || *value < 0 || *value > 255 ||
            std::floor(*value) != *value)
            return fallback;
        codes[std::size_t(i)] = int(*value);
    }
    return isKnownRecord(codes) ? codes : fallback;
}

void ProfileSettings::keepLeftClick(std::array<Record, buttonCount> &keys)
{
    if (std::any_of(keys.begin(), keys.end(), isLeftClick))
        return;
    for (int j = 0; j < buttonCount; ++j) {
        if (isLeftClick(defaultKeys[j])) {
            keys[j] = defaultKeys[j];
            return;
        }
    }
}

int ProfileSettings::rateCode(int row)
{
    return row >= 0 && row < rateRows ? rateCodes[row] : 1;
}

int ProfileSettings::rateHertz(int row)
{
    return row >= 0 && row < rateRows ? rateHertzOfRow[row] : rateHertzOfRow[rateRows - 1];
}

int ProfileSettings::dpiPosition(int value, int min, int max)
{
    const double ratio = max <= min ? 0 : double(value - min) / double(max - min);
    return int(std::floor(dpiTravel * ratio)) + 4;
}

int ProfileSettings::dpiValueAt(int position, int min, int max, int base)
{
    const double raw = double(qint64(position - 3) * (max - min)) / dpiTravel + min;
    if (base <= 0)
        return int(std::floor(raw));
    return int(std::floor(raw / base)) * base;
}

int ProfileSettings::effectCount(bool isColorful, bool is55328)
{
    return 4 + (isColorful ? 7 : 0) + (is55328 ? 1 : 0);
}

int ProfileSettings::pointerLevel(int position)
{
    for (int i = 0; i < int(std::size(levelSteps)); ++i) {
        if (levelSteps[i] > position)
            return i;
    }
    return int(std::size(levelSteps)) - 1;
}

QList<int> ProfileSettings::Lighting::sentColours(bool is55328) const
{
    QList<int> list(colours.begin(), colours.end());
    if (is55328 && effect != breathLoop) {
        list[21] = 0;
        list[22] = 0;
        list[23] = 0;
    }
    return list;
}

QList<int> ProfileSettings::keyList(const std::array<Record, buttonCount> &keys)
{
    QList<int> list;
    list.reserve(buttonCount * 4);
    for (const Record &record : keys)
        list << record[0] << record[1] << record[2] << record[3];
    return list;
}

QList<int> ProfileSettings::keyList() const
{
    return keyList(keys);
}

ProfileSettings ProfileSettings::read(const SettingsStore &store, bool isRecovery)
{
    ProfileSettings profile;
    const auto data = [&](const QString &key) {
        return store.data(key, isRecovery);
    };

    for (int k = 0; k < buttonCount; ++k)
        profile.keys[k] = recordCodes(
            SettingsStore::toList(data(SettingKeys::mouseKeyMatrix + QString::number(k))), k);
    keepLeftClick(profile.keys);

    const int row = toInt(data(SettingKeys::mouseReportRate), rateRows - 1);
    profile.reportRateRow = row >= 0 && row < rateRows ? row : rateRows - 1;

    Dpi &dpi = profile.dpi;
    dpi.count = toInt(data(mouseDpiCount), dpi.count);
    dpi.active = toInt(data(SettingKeys::mouseCurrentDpiCount), dpi.active);
    const int min = toInt(store.globalData(mouseMinDpi), dpi.min);
    const int max = toInt(store.globalData(mouseMaxDpi), dpi.max);
    if (min < max) {
        dpi.min = min;
        dpi.max = max;
    }
    dpi.sensor = toText(store.globalData(mouseSensorType), dpi.sensor);
    const int base = toInt(store.globalData(mouseDpiBase), dpi.base);
    if (base > 0)
        dpi.base = base;
    for (int value : intList(data(SettingKeys::mouseDpiValueArray), defaultDpiValues)) {
        dpi.stored.append(std::clamp(value, dpi.min, dpi.max));
        dpi.sent.append(dpiValueAt(dpiPosition(dpi.stored.last(), dpi.min, dpi.max), dpi.min,
                                   dpi.max, dpi.base));
    }
    dpi.shown = dpi.count <= stageCount;
    dpi.count = std::max(1, dpi.count);
    dpi.active = std::clamp(dpi.active, 1, std::max(1, std::min(dpi.count, stageCount)));

    const DeviceFlags &flags = store.deviceFlags();
    Lighting &light = profile.lighting;
    const QList<int> stored = intList(data(mouseLightValue), {0, 0, 4});
    light.effect =
        stored[0] >= 0 && stored[0] < effectCount(flags.isColorful, flags.is55328) ? stored[0] : 0;
    light.speed = std::clamp(stored[1], 0, 4);
    light.brightness = std::clamp(stored[2], 0, 4);
    const QVariantList colours = SettingsStore::toList(data(mouseColorValue));
    for (int i = 0; i < 24; ++i) {
        const std::optional<double> value =
            i < colours.size() ? toNumber(colours.at(i)) : std::nullopt;
        light.colours[std::size_t(i)] = value && *value >= 0 && *value <= 255
                                            ? int(std::floor(*value))
                                            : defaultColours[std::size_t(i)];
    }

    Pointer &pointer = profile.pointer;
    pointer.speed = std::clamp(toInt(data(mouseMouseRate), pointerMin), pointerMin, pointerMax);
    pointer.doubleClick =
        std::clamp(toInt(data(mouseDoubleRate), pointerMin), pointerMin, pointerMax);
    const int scroll = toInt(data(mouseScrollRate), 1);
    pointer.scroll = scroll > maxScrollRows ? oneScreen : std::max(1, scroll);
    return profile;
}

QVariantMap ProfileSettings::toVariant() const
{
    const auto ints = [](const QList<int> &list) {
        QVariantList values;
        for (int value : list)
            values.append(value);
        return values;
    };
    QVariantList keyRecords;
    for (const Record &record : keys)
        keyRecords.append(QVariant(ints({record[0], record[1], record[2], record[3]})));
    return {
        {QStringLiteral("keys"), keyRecords},
        {QStringLiteral("reportRate"), reportRateRow},
        {QStringLiteral("dpi"), QVariantMap{{QStringLiteral("shown"), dpi.shown},
                                            {QStringLiteral("count"), dpi.count},
                                            {QStringLiteral("active"), dpi.active},
                                            {QStringLiteral("min"), dpi.min},
                                            {QStringLiteral("max"), dpi.max},
                                            {QStringLiteral("base"), dpi.base},
                                            {QStringLiteral("sensor"), dpi.sensor},
                                            {QStringLiteral("values"), ints(dpi.stored)}}},
        {QStringLiteral("lighting"),
         QVariantMap{{QStringLiteral("effect"), lighting.effect},
                     {QStringLiteral("speed"), lighting.speed},
                     {QStringLiteral("brightness"), lighting.brightness},
                     {QStringLiteral("colours"),
                      ints(QList<int>(lighting.colours.begin(), lighting.colours.end()))}}},
        {QStringLiteral("pointer"),
         QVariantMap{{QStringLiteral("speed"), pointer.speed},
                     {QStringLiteral("doubleClick"), pointer.doubleClick},
                     {QStringLiteral("scroll"), pointer.scroll}}},
    };
}
