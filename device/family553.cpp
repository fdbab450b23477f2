#include "family553.h"

#include "guncodes.h"

void Family553Operations::linkGunSwitch(KeyMatrixCodes::GunSwitchSet &set, int slot, uchar preset)
{
    using KeyMatrixCodes::byteOf;
    if (preset >= 1 && preset <= 3) {
        byteOf(set.matrices[0], slot, 3) = 1;
        for (int m = 1; m < 4; ++m)
            byteOf(set.matrices[std::size_t(m)], slot, 3) = m < preset ? uchar(m + 1) : 0;
    }
    for (KeyMatrixCodes::Block &matrix : set.matrices) {
        byteOf(matrix, slot, 2) = 1;
        byteOf(matrix, slot, 1) = 0;
    }
}

bool Family553Operations::enableEventReports(Hid_Thread &link)
{
    std::array<uchar, 4> option{};
    link.hid553_83H_GetKeyboardoption(option[0], option[1], option[2], option[3]);
    if (!link.lastExchangeOk())
        return false;
    link.hid553_03H_SetKeyboardoption(option[0], option[1], option[2], uchar(option[3] | 0x40));
    return true;
}

void Family553Operations::writeKeyboardOption(Hid_Thread &link, const std::array<uchar, 4> &option)
{
    link.hid553_03H_SetKeyboardoption(option[0], option[1], option[2], option[3]);
}

void Family553Operations::readKeyboardOption(Hid_Thread &link, std::array<uchar, 4> &option)
{
    link.hid553_83H_GetKeyboardoption(option[0], option[1], option[2], option[3]);
}

void Family553Operations::writeReportRate(Hid_Thread &link, uchar rate)
{
    link.hid553_01H_SetReportRate(rate);
}

void Family553Operations::writeCurrentDpi(Hid_Thread &link, uchar stage)
{
    link.hid553_0BH_SetCurrentDPI(stage);
}

uchar Family553Operations::readCurrentDpi(Hid_Thread &link)
{
    uchar stage = 0;
    link.hid553_8BH_GetCurrentDPI(stage);
    return stage;
}

void Family553Operations::writeCurrentKeyMatrix(Hid_Thread &link, int indexNo)
{
    link.hid553_02H_SetCurrentKeyMatrix(uchar(indexNo - 1));
}

void Family553Operations::writeDpi(int dpiCount, const QString &sensorType,
                                   const QList<int> &dpiValues)
{
    DpiCodes::Codes codes = DpiCodes::codesWithInactiveStages(dpiCount, sensorType, dpiValues);
    if (link())
        link()->hid553_11H_SetDPISet(uchar(dpiCount), codes.data());
}

void Family553Operations::writeLighting(uchar effect, uchar option1, uchar option2)
{
    LightingCodes::Setting setting;
    if (variant().isColorful) {
        setting = LightingCodes::colourful(effect, option1, option2);
    } else {
        setting = LightingCodes::plain(effect, option1, option2);
        if (!variant().is55328)
            setting.parameter2 = LightingCodes::fixedPlainVariant;
    }
    if (link())
        link()->hid553_0DH_SetRGBLedEffect(setting.mode, setting.parameter1, setting.parameter2);
}

void Family553Operations::writeStageColours(uchar type, const LightingCodes::StageColours &colours)
{
    if (!link())
        return;
    LightingCodes::StageColours buffer = colours;
    if (!variant().is55328) {
        // These devices take the colours twice in a row.
        link()->hid553_10H_SetLED8StageColor(type, buffer.data());
        link()->hid553_10H_SetLED8StageColor(type, buffer.data());
    } else if (LightingCodes::hasEighthStageColour(colours)) {
        link()->hid553_10H_SetLED8StageColor(0, buffer.data());
    } else {
        link()->hid553_0CH_SetFixLEDColor(buffer.data());
    }
}

void Family553Operations::writeGunData(int slot, const QList<int> &gunValues)
{
    if (!link())
        return;
    const std::array<uchar, 4> option = keyboardOption();
    const std::array<uchar, 4> bytes = GunCodes::command553(slot, gunValues, option[2]);
    link()->hid553_04H_SetGunData(bytes[0], bytes[1], bytes[2], bytes[3]);
}

void Family553Operations::selectGunSwitchMatrix(Hid_Thread &link)
{
    link.hid553_02H_SetCurrentKeyMatrix(1);
}

void Family553Operations::writeMatrix(Hid_Thread &link, KeyMatrixCodes::Block matrix, int number)
{
    link.hid553_12H_SetKeyMatrix(matrix.data(), uchar(number));
}

void Family553Operations::writeMacro(Hid_Thread &link, uchar number, MacroBlock::Block block)
{
    link.hid553_13H_SetMacroKey(number, block.data());
}
