#include "deviceoperations.h"

#include "guncodes.h"
#include "hid_thread.h"
#include "keymatrixcodes.h"
#include "macroblock.h"
#include "protocol.h"

#include <QDebug>

QByteArray DeviceOperations::profileBlock(int n) const
{
    if (n < 0 || n >= ProfileBlock::count)
        return {};
    const ProfileBlock::Block &block = m_blocks[std::size_t(n)];
    return QByteArray(reinterpret_cast<const char *>(block.data()), int(block.size()));
}

DeviceOperations::Sequence::Sequence(DeviceOperations &operations)
    : m_operations(operations), m_outermost(operations.m_depth++ == 0)
{
    if (!m_outermost)
        return;
    m_operations.m_refused = false;
    m_operations.m_failuresAtStart = operations.m_link ? operations.m_link->failedExchanges() : 0;
}

DeviceOperations::Sequence::~Sequence()
{
    --m_operations.m_depth;
    if (!m_outermost)
        return;
    const Hid_Thread *link = m_operations.m_link;
    m_operations.m_lastFailed = m_operations.m_refused ||
                                (link && link->failedExchanges() != m_operations.m_failuresAtStart);
    if (m_operations.m_lastFailed)
        ++m_operations.m_failedOperations;
}

void DeviceOperations::forgetDeviceProfiles()
{
    m_held.fill(false);
}

void DeviceOperations::clearBusy()
{
    if (m_link)
        m_link->setLinkFree(true);
}

void DeviceOperations::setKeyboardOption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    const Sequence sequence(*this);
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
    const Sequence sequence(*this);
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
    const Sequence sequence(*this);
    if (!m_link)
        return;
    if (m_variant.family560)
        m_link->hid560_03H_SetReportRate(rate);
    else
        m_link->hid553_01H_SetReportRate(rate);
}

void DeviceOperations::setCurrentDpi(uchar stage)
{
    const Sequence sequence(*this);
    if (!m_link)
        return;
    if (m_variant.family560)
        m_link->hid560_04H_SetCurrentDPI(stage);
    else
        m_link->hid553_0BH_SetCurrentDPI(stage);
}

int DeviceOperations::currentDpi()
{
    const Sequence sequence(*this);
    if (!m_link)
        return 0;
    uchar stage = 0;
    if (m_variant.family560) {
        uchar which = 1;
        m_link->hid560_84H_GetCurrentDPI(which, stage);
    } else {
        m_link->hid553_8BH_GetCurrentDPI(stage);
    }
    if (HidProtocol::isDpiStage(stage))
        return stage;
    qDebug("DPI stage %d ignored", stage);
    return 0;
}

void DeviceOperations::switchKeyMatrix(int indexNo)
{
    const Sequence sequence(*this);
    if (!m_link)
        return;
    if (m_variant.family560)
        m_link->hid560_02H_SetCurrentProfile(uchar(indexNo));
    else
        m_link->hid553_02H_SetCurrentKeyMatrix(uchar(indexNo - 1));
}

void DeviceOperations::sendProfile(uint profileNo)
{
    const Sequence sequence(*this);
    if (profileNo >= uint(ProfileBlock::count))
        return;
    ensureDeviceProfile(int(profileNo));
    sendBlock(int(profileNo));
}

void DeviceOperations::readProfile(uint profileNo)
{
    const Sequence sequence(*this);
    if (!m_link || profileNo >= uint(ProfileBlock::count))
        return;
    m_link->hid560_8CH_readProfile(m_blocks[profileNo].data(), uchar(profileNo));
    // A read that failed part-way leaves a mix of old and new bytes.
    m_held[profileNo] = m_link->lastExchangeOk();
}

int DeviceOperations::currentProfile()
{
    const Sequence sequence(*this);
    uchar profile = 0;
    if (m_link)
        m_link->hid560_82H_GetCurrentProfile(profile);
    return profile;
}

void DeviceOperations::setDpi(int dpiCount, const QString &sensorType, const QList<int> &dpiValues)
{
    const Sequence sequence(*this);
    if (!m_variant.family560) {
        DpiCodes::Codes codes = DpiCodes::codesWithInactiveStages(dpiCount, sensorType, dpiValues);
        if (m_link)
            m_link->hid553_11H_SetDPISet(uchar(dpiCount), codes.data());
        return;
    }
    for (int n : gunBlockNumbers())
        ensureDeviceProfile(n);
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
    const Sequence sequence(*this);
    if (m_variant.isColorful) {
        const LightingCodes::Setting setting = LightingCodes::colourful(effect, option1, option2);
        if (!m_variant.family560) {
            if (m_link)
                m_link->hid553_0DH_SetRGBLedEffect(setting.mode, setting.parameter1,
                                                   setting.parameter2);
            return;
        }
        for (int n : gunBlockNumbers())
            ensureDeviceProfile(n);
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
    for (int n : gunBlockNumbers())
        ensureDeviceProfile(n);
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
    const Sequence sequence(*this);
    LightingCodes::StageColours colours = LightingCodes::stageColours(src24);
    if (m_variant.family560) {
        const int n = m_variant.isColorful ? 0 : 1;
        ensureDeviceProfile(n);
        ProfileBlock::writeStageColours(m_blocks[std::size_t(n)],
                                        m_variant.isColorful
                                            ? ProfileBlock::Offset::stageColours
                                            : ProfileBlock::Offset::plainStageColours,
                                        colours);
        sendBlock(n);
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
    const Sequence sequence(*this);
    if (!m_variant.isGun || !GunCodes::isSlot(slot))
        return;
    if (m_variant.family560) {
        ensureDeviceProfile(slot + 1);
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
    const Sequence sequence(*this);
    using namespace KeyMatrixCodes;
    const bool family560 = m_variant.family560;
    const Block m1 = userMatrix(src64, family560);
    if (!hasGunSwitch(m1)) {
        sendMatrix(m1, 1);
        return;
    }
    const GunSwitchSet set = expandGunSwitch(m1, fromRecords(firmware), otherParam, family560);
    if (family560) {
        ensureDeviceProfile(0);
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
    const Sequence sequence(*this);
    const KeyMatrixCodes::Block block = KeyMatrixCodes::fromRecords(firmware);
    for (int number = 2; number <= 4; ++number)
        sendMatrix(block, number);
}

void DeviceOperations::sendMacro(const QList<int> &macroData, uint slot)
{
    const Sequence sequence(*this);
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

bool DeviceOperations::ensureDeviceProfile(int n)
{
    if (!m_held[std::size_t(n)])
        readProfile(uint(n));
    return m_held[std::size_t(n)];
}

QList<int> DeviceOperations::gunBlockNumbers() const
{
    return m_variant.isGun ? QList<int>{1, 2, 3, 4} : QList<int>{1};
}

void DeviceOperations::sendBlock(int n)
{
    if (!m_link)
        return;
    // Most of a block that was never read is zeros: written back, it would
    // wipe the device's profile.
    if (!m_held[std::size_t(n)]) {
        qDebug("cmd Failed 0C");
        m_refused = true;
        return;
    }
    m_link->hid560_0CH_setProfile(m_blocks[std::size_t(n)].data(), uchar(n));
}

void DeviceOperations::sendGunBlocks()
{
    for (int n : gunBlockNumbers())
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
