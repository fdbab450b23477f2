#pragma once

#include "deviceoperations.h"

// Controller family 560: most settings live in the device profile blocks,
// which are read, patched and written back whole.
class Family560Operations : public DeviceOperations
{
public:
    explicit Family560Operations(const DeviceVariant &variant) : DeviceOperations(variant) {}

    // The family's sniper key entry, and how it links gun presets: byte 2
    // of matrix m + 1 is 3 while m is below the preset, and profile block 0
    // marks the presets in use.
    static constexpr KeyMatrixCodes::Entry sniperKey{0x0B, 0x00, 0x01, 0x01};
    static void linkGunSwitch(KeyMatrixCodes::GunSwitchSet &set, int slot, uchar preset);
    // Sets bit 3 of the first option byte; false when the option could not
    // be read (and so was left alone).
    static bool enableEventReports(Hid_Thread &link);

    QByteArray profileBlock(int n) const override;
    void forgetDeviceProfiles() override;
    void readDeviceProfiles() override;
    bool selectWorkingProfile() override;
    void sendProfile(uint profileNo) override;
    void readProfile(uint profileNo) override;
    int currentProfile() override;

private:
    Hid_Thread::EventReportSwitch eventReportSwitch() const override { return enableEventReports; }
    void writeKeyboardOption(Hid_Thread &link, const std::array<uchar, 4> &option) override;
    void readKeyboardOption(Hid_Thread &link, std::array<uchar, 4> &option) override;
    void writeReportRate(Hid_Thread &link, uchar rate) override;
    void writeCurrentDpi(Hid_Thread &link, uchar stage) override;
    uchar readCurrentDpi(Hid_Thread &link) override;
    void writeCurrentKeyMatrix(Hid_Thread &link, int indexNo) override;
    void writeDpi(int dpiCount, const QString &sensorType, const QList<int> &dpiValues) override;
    void writeLighting(uchar effect, uchar option1, uchar option2) override;
    void writeStageColours(uchar type, const LightingCodes::StageColours &colours) override;
    void writeGunData(int slot, const QList<int> &gunValues) override;
    KeyMatrixCodes::Entry sniperKeyEntry() const override { return sniperKey; }
    KeyMatrixCodes::GunSwitchLinks gunSwitchLinks() const override { return linkGunSwitch; }
    void storeGunSwitch(const KeyMatrixCodes::GunSwitchSet &set) override;
    void selectGunSwitchMatrix(Hid_Thread &link) override;
    void writeMatrix(Hid_Thread &link, KeyMatrixCodes::Block matrix, int number) override;
    void writeMacro(Hid_Thread &link, uchar number, MacroBlock::Block block) override;

    // Reads block n again when it does not hold the device's profile, so
    // that a patch never lands on bytes the device did not give.
    bool ensureDeviceProfile(int n);
    ProfileBlock::Block &block(int n) { return m_blocks[std::size_t(n)]; }
    // Refused (and the request failed) while block n was never read.
    void sendBlock(int n);
    // Block 1, and with guns blocks 2 to 4: the profiles a setting goes to.
    QList<int> gunBlockNumbers() const;
    void sendGunBlocks();
    // Writes `setting` into blocks 1 to 4, each read first where it must be.
    void patchLighting(const LightingCodes::Setting &setting);

    std::array<ProfileBlock::Block, ProfileBlock::count> m_blocks{};
    std::array<bool, ProfileBlock::count> m_held{};
};
