#include "family560.h"

#include "guncodes.h"

void Family560Operations::linkGunSwitch(KeyMatrixCodes::GunSwitchSet &set, int slot, uchar preset)
{
    using KeyMatrixCodes::byteOf;
    if (preset < 1 || preset > 3)
        return;
    byteOf(set.matrices[0], slot, 2) = 1;
    for (int m = 1; m < 4; ++m)
        byteOf(set.matrices[std::size_t(m)], slot, 2) = m < preset ? 3 : 0;
    set.gunSwitchMask = uchar(preset == 1 ? 7 : preset == 2 ? 15 : 31);
}

bool Family560Operations::enableEventReports(Hid_Thread &link)
{
    std::array<uchar, 2> option{};
    link.hid560_81H_GetKeyboardoption(option[0], option[1]);
    if (!link.lastExchangeOk())
        return false;
    link.hid560_01H_SetKeyboardoption(uchar(option[0] | 0x08), option[1]);
    return true;
}

void Family560Operations::doReadDeviceProfiles()
{
    readProfile(0);
    for (int n : gunBlockNumbers())
        readProfile(uint(n));
}

void Family560Operations::writeKeyboardOption(Hid_Thread &link, const std::array<uchar, 4> &option)
{
    // Code 03H is a report rate here; the option is the two bytes of 01H.
    link.hid560_01H_SetKeyboardoption(option[0], option[1]);
}

void Family560Operations::readKeyboardOption(Hid_Thread &link, std::array<uchar, 4> &option)
{
    link.hid560_81H_GetKeyboardoption(option[0], option[1]);
}

void Family560Operations::writeReportRate(Hid_Thread &link, uchar rate)
{
    link.hid560_03H_SetReportRate(rate);
}

void Family560Operations::writeCurrentDpi(Hid_Thread &link, uchar stage)
{
    link.hid560_04H_SetCurrentDPI(stage);
}

uchar Family560Operations::readCurrentDpi(Hid_Thread &link)
{
    uchar which = 1;
    uchar stage = 0;
    link.hid560_84H_GetCurrentDPI(which, stage);
    return stage;
}

void Family560Operations::writeCurrentKeyMatrix(Hid_Thread &link, int indexNo)
{
    link.hid560_02H_SetCurrentProfile(uchar(indexNo));
}

void Family560Operations::writeDpi(int dpiCount, const QString &sensorType,
                                   const QList<int> &dpiValues)
{
    for (int n : gunBlockNumbers())
        ensureDeviceProfile(n);
    const DpiCodes::Codes codes = DpiCodes::codes(sensorType, dpiValues);
    std::optional<uchar> highBits;
    if (DpiCodes::needsHighBits(sensorType))
        highBits = DpiCodes::highBitMask(dpiValues);
    for (int n = 1; n < ProfileBlock::count; ++n)
        ProfileBlock::writeDpi(block(n), codes, DpiCodes::activeStageMask(dpiCount), highBits);
    sendGunBlocks();
}

void Family560Operations::writeLighting(uchar effect, uchar option1, uchar option2)
{
    if (variant().isColorful) {
        patchLighting(LightingCodes::colourful(effect, option1, option2));
        sendGunBlocks();
        return;
    }
    LightingCodes::Setting setting = LightingCodes::plain(effect, option1, option2);
    setting.parameter2 = LightingCodes::fixedPlainVariant;
    patchLighting(setting);
    if (variant().isGun) {
        sendGunBlocks();
        return;
    }
    block(1)[ProfileBlock::Offset::lighting + 2] = LightingCodes::singleProfilePlainVariant;
    sendBlock(1);
}

void Family560Operations::writeStageColours(uchar type, const LightingCodes::StageColours &colours)
{
    Q_UNUSED(type)
    const bool colourful = variant().isColorful;
    const int n = colourful ? 0 : 1;
    ensureDeviceProfile(n);
    ProfileBlock::writeStageColours(block(n),
                                    colourful ? ProfileBlock::Offset::stageColours
                                              : ProfileBlock::Offset::plainStageColours,
                                    colours);
    sendBlock(n);
}

void Family560Operations::writeGunData(int slot, const QList<int> &gunValues)
{
    ensureDeviceProfile(slot + 1);
    ProfileBlock::writeGunSlot(block(slot + 1), GunCodes::values(gunValues));
    sendBlock(slot + 1);
}

void Family560Operations::storeGunSwitch(const KeyMatrixCodes::GunSwitchSet &set)
{
    ensureDeviceProfile(0);
    if (set.gunSwitchMask)
        block(0)[ProfileBlock::Offset::gunSwitchMask] = *set.gunSwitchMask;
    sendBlock(0);
}

void Family560Operations::selectGunSwitchMatrix(Hid_Thread &link)
{
    link.hid560_02H_SetCurrentProfile(1);
}

void Family560Operations::writeMatrix(Hid_Thread &link, KeyMatrixCodes::Block matrix, int number)
{
    link.hid560_0DH_SetKeyMatrix(matrix.data(), uchar(number));
}

void Family560Operations::writeMacro(Hid_Thread &link, uchar number, MacroBlock::Block block)
{
    link.hid560_0FH_SetMacroKey(number, block.data());
}

QList<int> Family560Operations::gunBlockNumbers() const
{
    return variant().isGun ? QList<int>{1, 2, 3, 4} : QList<int>{1};
}

void Family560Operations::sendGunBlocks()
{
    for (int n : gunBlockNumbers())
        sendBlock(n);
}

void Family560Operations::patchLighting(const LightingCodes::Setting &setting)
{
    for (int n : gunBlockNumbers())
        ensureDeviceProfile(n);
    for (int n = 1; n < ProfileBlock::count; ++n)
        ProfileBlock::writeLighting(block(n), setting);
}
