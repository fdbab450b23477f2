#include "family560.h"

#include "devicelog.h"
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

QByteArray Family560Operations::profileBlock(int n) const
{
    if (n < 0 || n >= ProfileBlock::count)
        return {};
    const ProfileBlock::Block &block = m_blocks[std::size_t(n)];
    return QByteArray(reinterpret_cast<const char *>(block.data()), int(block.size()));
}

void Family560Operations::forgetDeviceProfiles()
{
    m_held.fill(false);
}

void Family560Operations::readDeviceProfiles()
{
    readProfile(0);
    for (int n : gunBlockNumbers())
        readProfile(uint(n));
}

bool Family560Operations::selectWorkingProfile()
{
    // The program works on device profile 1.
    const int current = currentProfile();
    if (current != 1 && link())
        writeCurrentKeyMatrix(*link(), 1);
    return current > 0;
}

void Family560Operations::sendProfile(uint profileNo)
{
    if (profileNo >= uint(ProfileBlock::count))
        return;
    ensureDeviceProfile(int(profileNo));
    sendBlock(int(profileNo));
}

void Family560Operations::readProfile(uint profileNo)
{
    if (!link() || profileNo >= uint(ProfileBlock::count))
        return;
    link()->hid560_8CH_readProfile(m_blocks[profileNo].data(), uchar(profileNo));
    // A read that failed part-way leaves a mix of old and new bytes.
    m_held[profileNo] = link()->lastExchangeOk();
}

int Family560Operations::currentProfile()
{
    uchar profile = 0;
    if (link())
        link()->hid560_82H_GetCurrentProfile(profile);
    return profile;
}

bool Family560Operations::ensureDeviceProfile(int n)
{
    if (!m_held[std::size_t(n)])
        readProfile(uint(n));
    return m_held[std::size_t(n)];
}

void Family560Operations::sendBlock(int n)
{
    if (!link())
        return;
    // Most of a block that was never read is zeros: written back, it would
    // wipe the device's profile.
    if (!m_held[std::size_t(n)]) {
        qCWarning(lcDevice, "cmd Failed 0C");
        refuse();
        return;
    }
    link()->hid560_0CH_setProfile(m_blocks[std::size_t(n)].data(), uchar(n));
    // A block the mouse did not take no longer says what the mouse holds:
    // it is read again before the next patch, which would otherwise carry
    // the refused change along with its own.
    if (!link()->lastExchangeOk())
        m_held[std::size_t(n)] = false;
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
