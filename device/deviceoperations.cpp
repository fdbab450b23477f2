#include "deviceoperations.h"

#include "devicelog.h"
#include "family553.h"
#include "family560.h"
#include "guncodes.h"
#include "protocol.h"

#include <QDebug>

std::unique_ptr<DeviceOperations> DeviceOperations::create(const QString &icType,
                                                           const DeviceVariant &variant)
{
    if (icType == QLatin1String("560"))
        return std::make_unique<Family560Operations>(variant);
    return std::make_unique<Family553Operations>(variant);
}

DeviceOperations::~DeviceOperations() = default;

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

void DeviceOperations::setLink(Hid_Thread *link)
{
    m_link = link;
    if (!link)
        return;
    link->setEventReportSwitch(eventReportSwitch());
    link->setGunDevice(m_variant.isGun);
}

QByteArray DeviceOperations::profileBlock(int n) const
{
    if (n < 0 || n >= ProfileBlock::count)
        return {};
    const ProfileBlock::Block &block = m_blocks[std::size_t(n)];
    return QByteArray(reinterpret_cast<const char *>(block.data()), int(block.size()));
}

void DeviceOperations::forgetDeviceProfiles()
{
    m_held.fill(false);
}

void DeviceOperations::readDeviceProfiles()
{
    const Sequence sequence(*this);
    doReadDeviceProfiles();
}

void DeviceOperations::clearBusy()
{
    if (m_link)
        m_link->setLinkFree(true);
}

void DeviceOperations::setKeyboardOption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    const Sequence sequence(*this);
    if (m_link)
        writeKeyboardOption(*m_link, {byte1, byte2, byte3, byte4});
}

std::array<uchar, 4> DeviceOperations::keyboardOption()
{
    const Sequence sequence(*this);
    std::array<uchar, 4> option{};
    if (m_link)
        readKeyboardOption(*m_link, option);
    return option;
}

void DeviceOperations::setReportRate(uchar rate)
{
    const Sequence sequence(*this);
    if (m_link)
        writeReportRate(*m_link, rate);
}

void DeviceOperations::setCurrentDpi(uchar stage)
{
    const Sequence sequence(*this);
    if (m_link)
        writeCurrentDpi(*m_link, stage);
}

int DeviceOperations::currentDpi()
{
    const Sequence sequence(*this);
    if (!m_link)
        return 0;
    const uchar stage = readCurrentDpi(*m_link);
    if (HidProtocol::isDpiStage(stage))
        return stage;
    // A failed query leaves the preset 0 and has said so already; only a
    // reply out of range is worth a line.
    if (m_link->lastExchangeOk())
        qCWarning(lcDevice, "DPI stage %d ignored", stage);
    return 0;
}

void DeviceOperations::switchKeyMatrix(int indexNo)
{
    const Sequence sequence(*this);
    if (m_link)
        writeCurrentKeyMatrix(*m_link, indexNo);
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
    writeDpi(dpiCount, sensorType, dpiValues);
}

void DeviceOperations::setLighting(uchar effect, uchar option1, uchar option2)
{
    const Sequence sequence(*this);
    writeLighting(effect, option1, option2);
}

void DeviceOperations::setStageColours(uchar type, const QList<int> &src24)
{
    const Sequence sequence(*this);
    writeStageColours(type, LightingCodes::stageColours(src24));
}

void DeviceOperations::sendGunData(int slot, const QList<int> &gunValues)
{
    const Sequence sequence(*this);
    if (m_variant.isGun && GunCodes::isSlot(slot))
        writeGunData(slot, gunValues);
}

void DeviceOperations::sendKeyMatrix(const QList<int> &src64, const QList<int> &firmware,
                                     const QList<int> &otherParam)
{
    const Sequence sequence(*this);
    const KeyMatrixCodes::Block m1 = KeyMatrixCodes::userMatrix(src64, sniperKeyEntry());
    if (!KeyMatrixCodes::hasGunSwitch(m1)) {
        sendMatrix(m1, 1);
        return;
    }
    const KeyMatrixCodes::GunSwitchSet set = KeyMatrixCodes::expandGunSwitch(
        m1, KeyMatrixCodes::fromRecords(firmware), otherParam, gunSwitchLinks());
    storeGunSwitch(set);
    for (int m = 0; m < 4; ++m)
        sendMatrix(set.matrices[std::size_t(m)], m + 1);
    if (m_link)
        selectGunSwitchMatrix(*m_link);
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
        // The firmware would play on past the block into whatever follows.
        qCWarning(lcDevice, "Macro block without its end refused");
        m_refused = true;
        return;
    }
    writeMacro(*m_link, *number, MacroBlock::fromList(macroData));
}

bool DeviceOperations::ensureDeviceProfile(int n)
{
    if (!m_held[std::size_t(n)])
        readProfile(uint(n));
    return m_held[std::size_t(n)];
}

void DeviceOperations::sendBlock(int n)
{
    if (!m_link)
        return;
    // Most of a block that was never read is zeros: written back, it would
    // wipe the device's profile.
    if (!m_held[std::size_t(n)]) {
        qCWarning(lcDevice, "cmd Failed 0C");
        m_refused = true;
        return;
    }
    m_link->hid560_0CH_setProfile(m_blocks[std::size_t(n)].data(), uchar(n));
    // A block the mouse did not take no longer says what the mouse holds:
    // it is read again before the next patch, which would otherwise carry
    // the refused change along with its own.
    if (!m_link->lastExchangeOk())
        m_held[std::size_t(n)] = false;
}

void DeviceOperations::sendMatrix(const KeyMatrixCodes::Block &matrix, int number)
{
    if (m_link)
        writeMatrix(*m_link, matrix, number);
}
