#include "deviceoperations.h"

#include "guncodes.h"
#include "hid_thread.h"
#include "keymatrixcodes.h"
#include "macroblock.h"

QByteArray DeviceOperations::profileBlock(int n) const
{
    if (n < 0 || n >= ProfileBlock::count)
        return {};
    const ProfileBlock::Block &block = m_blocks[std::size_t(n)];
    return QByteArray(reinterpret_cast<const char *>(block.data()), int(block.size()));
}

void DeviceOperations::clearBusy()
{
    if (m_link)
        m_link->setLinkFree(true);
}

void DeviceOperations::setKeyboardOption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    if (!m_link)
        return;
    // Family 560 reads code 03H as a report rate; its keyboard option is
    // the two bytes of its own 01H.
    if (m_variant.family560)
        m_link->hid560_01H_SetKeyboardoption(byte1, byte2);
    else
        m_link->hid553_03H_SetKeyboardoption(byte1, byte2, byte3, byte4);
}

std::array<uchar, 4> DeviceOperations::keyboardOption()
{
    std::array<uchar, 4> option{};
    if (!m_link)
        return option;
    if (m_variant.family560)
        m_link->hid560_81H_GetKeyboardoption(option[0], option[1]);
    else
        m_link->hid553_83H_GetKeyboardoption(option[0], option[1], option[2], option[3]);
    return option;
}

void DeviceOperations::setReportRate(uchar rate)
{
    if (!m_link)
        return;
    if (m_variant.family560)
        m_link->hid560_03H_SetReportRate(rate);
    else
        m_link->hid553_01H_SetReportRate(rate);
}

void DeviceOperations::setCurrentDpi(uchar stage)
{
    if (!m_link)
        return;
    if (m_variant.family560)
        m_link->hid560_04H_SetCurrentDPI(stage);
    else
        m_link->hid553_0BH_SetCurrentDPI(stage);
}

int DeviceOperations::currentDpi()
{
    if (!m_link)
        return 0;
    if (m_variant.family560) {
        uchar which = 1;
        uchar stage = 0;
        m_link->hid560_84H_GetCurrentDPI(which, stage);
        return stage;
    }
    uchar stage = 0;
    m_link->hid553_8BH_GetCurrentDPI(stage);
    return stage;
}

void DeviceOperations::switchKeyMatrix(int indexNo)
{
    if (!m_link)
        return;
    if (m_variant.family560)
        m_link->hid560_02H_SetCurrentProfile(uchar(indexNo));
    else
        m_link->hid553_02H_SetCurrentKeyMatrix(uchar(indexNo - 1));
}

void DeviceOperations::sendProfile(uint profileNo)
{
    if (profileNo < uint(ProfileBlock::count))
        sendBlock(int(profileNo));
}

void DeviceOperations::readProfile(uint profileNo)
{
    if (m_link && profileNo < uint(ProfileBlock::count))
        m_link->hid560_8CH_readProfile(m_blocks[profileNo].data(), uchar(profileNo));
}

int DeviceOperations::currentProfile()
{
    uchar profile = 0;
    if (m_link)
        m_link->hid560_82H_GetCurrentProfile(profile);
    return profile;
}

void DeviceOperations::setDpi(int dpiCount, const QString &sensorType, const QList<int> &dpiValues)
{
    if (!m_variant.family560) {
        DpiCodes::Codes codes = DpiCodes::codesWithInactiveStages(dpiCount, sensorType, dpiValues);
        if (m_link)
            m_link->hid553_11H_SetDPISet(uchar(dpiCount), codes.data());
        return;
    }
    const DpiCodes::Codes codes = DpiCodes::codes(sensorType, dpiValues);
    std::optional<uchar> highBits;
    if (DpiCodes::needsHighBits(sensorType))
        highBits = DpiCodes::highBitMask(dpiValues);
    for (int n = 1; n < ProfileBlock::count; ++n)
        ProfileBlock::writeDpi(m_blocks[std::size_t(n)], codes, DpiCodes::activeStageMask(dpiCount),
                               highBits);
    sendGunBlocks();
}

void DeviceOperations::setLighting(uchar effect, uchar option1, uchar option2)
{
    if (m_variant.isColorful) {
        const LightingCodes::Setting setting = LightingCodes::colourful(effect, option1, option2);
        if (!m_variant.family560) {
            if (m_link)
                m_link->hid553_0DH_SetRGBLedEffect(setting.mode, setting.parameter1,
                                                   setting.parameter2);
            return;
        }
        for (int n = 1; n < ProfileBlock::count; ++n)
            ProfileBlock::writeLighting(m_blocks[std::size_t(n)], setting);
        sendGunBlocks();
        return;
    }

    LightingCodes::Setting setting = LightingCodes::plain(effect, option1, option2);
    if (!m_variant.family560) {
        if (!m_variant.is55328)
            setting.parameter2 = LightingCodes::fixedPlainVariant;
        if (m_link)
            m_link->hid553_0DH_SetRGBLedEffect(setting.mode, setting.parameter1,
                                               setting.parameter2);
        return;
    }
    setting.parameter2 = LightingCodes::fixedPlainVariant;
    for (int n = 1; n < ProfileBlock::count; ++n)
        ProfileBlock::writeLighting(m_blocks[std::size_t(n)], setting);
    if (m_variant.isGun) {
        sendGunBlocks();
        return;
    }
    m_blocks[1][ProfileBlock::Offset::lighting + 2] = LightingCodes::singleProfilePlainVariant;
    sendBlock(1);
}

void DeviceOperations::setStageColours(uchar type, const QList<int> &src24)
{
    LightingCodes::StageColours colours = LightingCodes::stageColours(src24);
    if (m_variant.family560) {
        if (m_variant.isColorful) {
            ProfileBlock::writeStageColours(m_blocks[0], ProfileBlock::Offset::stageColours,
                                            colours);
            sendBlock(0);
        } else {
            ProfileBlock::writeStageColours(m_blocks[1], ProfileBlock::Offset::plainStageColours,
                                            colours);
            sendBlock(1);
        }
        return;
    }
    if (!m_link)
        return;
    if (!m_variant.is55328) {
        // These devices take the colours twice in a row.
        m_link->hid553_10H_SetLED8StageColor(type, colours.data());
        m_link->hid553_10H_SetLED8StageColor(type, colours.data());
    } else if (LightingCodes::hasEighthStageColour(colours)) {
        m_link->hid553_10H_SetLED8StageColor(0, colours.data());
    } else {
        m_link->hid553_0CH_SetFixLEDColor(colours.data());
    }
}

void DeviceOperations::sendGunData(int slot, const QList<int> &gunValues)
{
    if (!m_variant.isGun || !GunCodes::isSlot(slot))
        return;
    if (m_variant.family560) {
        ProfileBlock::writeGunSlot(m_blocks[std::size_t(slot + 1)], GunCodes::values(gunValues));
        sendBlock(slot + 1);
        return;
    }
    if (!m_link)
        return;
    const std::array<uchar, 4> option = keyboardOption();
    const std::array<uchar, 4> bytes = GunCodes::command553(slot, gunValues, option[2]);
    m_link->hid553_04H_SetGunData(bytes[0], bytes[1], bytes[2], bytes[3]);
}

void DeviceOperations::sendKeyMatrix(const QList<int> &src64, const QList<int> &firmware,
                                     const QList<int> &otherParam)
{
    using namespace KeyMatrixCodes;
    const bool family560 = m_variant.family560;
    const Block m1 = userMatrix(src64, family560);
    if (!hasGunSwitch(m1)) {
        sendMatrix(m1, 1);
        return;
    }
    const GunSwitchSet set = expandGunSwitch(m1, fromRecords(firmware), otherParam, family560);
    if (family560) {
        if (set.gunSwitchMask)
            m_blocks[0][ProfileBlock::Offset::gunSwitchMask] = *set.gunSwitchMask;
        sendBlock(0);
    }
    for (int m = 0; m < 4; ++m)
        sendMatrix(set.matrices[std::size_t(m)], m + 1);
    if (!m_link)
        return;
    if (family560)
        m_link->hid560_02H_SetCurrentProfile(1);
    else
        m_link->hid553_02H_SetCurrentKeyMatrix(1);
}

void DeviceOperations::resetKeyMatrices(const QList<int> &firmware)
{
    const KeyMatrixCodes::Block block = KeyMatrixCodes::fromRecords(firmware);
    for (int number = 2; number <= 4; ++number)
        sendMatrix(block, number);
}

void DeviceOperations::sendMacro(const QList<int> &macroData, uint slot)
{
    const std::optional<uchar> number = MacroBlock::macroNumber(slot);
    if (!number || !m_link)
        return;
    if (!MacroBlock::isComplete(macroData)) {
        qDebug("Macro block without its end refused");
        return;
    }
    MacroBlock::Block block = MacroBlock::fromList(macroData);
    if (m_variant.family560)
        m_link->hid560_0FH_SetMacroKey(*number, block.data());
    else
        m_link->hid553_13H_SetMacroKey(*number, block.data());
}

void DeviceOperations::sendBlock(int n)
{
    if (m_link)
        m_link->hid560_0CH_setProfile(m_blocks[std::size_t(n)].data(), uchar(n));
}

void DeviceOperations::sendGunBlocks()
{
    sendBlock(1);
    if (!m_variant.isGun)
        return;
    for (int n = 2; n < ProfileBlock::count; ++n)
        sendBlock(n);
}

void DeviceOperations::sendMatrix(KeyMatrixCodes::Block matrix, int number)
{
    if (!m_link)
        return;
    if (m_variant.family560)
        m_link->hid560_0DH_SetKeyMatrix(matrix.data(), uchar(number));
    else
        m_link->hid553_12H_SetKeyMatrix(matrix.data(), uchar(number));
}
