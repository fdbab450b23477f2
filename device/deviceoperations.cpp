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
    Q_UNUSED(n)
    return {};
}

quint64 DeviceOperations::failures() const
{
    return m_refusals + (m_link ? m_link->failedExchanges() : 0);
}

void DeviceOperations::setKeyboardOption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    if (m_link)
        writeKeyboardOption(*m_link, {byte1, byte2, byte3, byte4});
}

std::array<uchar, 4> DeviceOperations::keyboardOption()
{
    std::array<uchar, 4> option{};
    if (m_link)
        readKeyboardOption(*m_link, option);
    return option;
}

void DeviceOperations::setReportRate(uchar rate)
{
    if (m_link)
        writeReportRate(*m_link, rate);
}

void DeviceOperations::setCurrentDpi(uchar stage)
{
    if (m_link)
        writeCurrentDpi(*m_link, stage);
}

int DeviceOperations::currentDpi()
{
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
    if (m_link)
        writeCurrentKeyMatrix(*m_link, indexNo);
}

void DeviceOperations::setDpi(int dpiCount, const QString &sensorType, const QList<int> &dpiValues)
{
    writeDpi(dpiCount, sensorType, dpiValues);
}

void DeviceOperations::setLighting(uchar effect, uchar option1, uchar option2)
{
    writeLighting(effect, option1, option2);
}

void DeviceOperations::setStageColours(uchar type, const QList<int> &src24)
{
    writeStageColours(type, LightingCodes::stageColours(src24));
}

void DeviceOperations::sendGunData(int slot, const QList<int> &gunValues)
{
    if (m_variant.isGun && GunCodes::isSlot(slot))
        writeGunData(slot, gunValues);
}

void DeviceOperations::sendKeyMatrix(const QList<int> &src64, const QList<int> &firmware,
                                     const QList<int> &otherParam)
{
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
        // The firmware would play on past the block into whatever follows.
        qCWarning(lcDevice, "Macro block without its end refused");
        refuse();
        return;
    }
    writeMacro(*m_link, *number, MacroBlock::fromList(macroData));
}

void DeviceOperations::sendMatrix(const KeyMatrixCodes::Block &matrix, int number)
{
    if (m_link)
        writeMatrix(*m_link, matrix, number);
}
