#pragma once

#include "deviceoperations.h"

// Controller family 553: every setting has a command of its own.
class Family553Operations : public DeviceOperations
{
public:
    explicit Family553Operations(const DeviceVariant &variant) : DeviceOperations(variant) {}

    // The family's sniper key entry, and how it links gun presets: matrix
    // m + 1 (byte 3) while m is below the preset, byte 2 of every matrix 1.
    static constexpr KeyMatrixCodes::Entry sniperKey{0x07, 0x00, 0x04, 0x01};
    static void linkGunSwitch(KeyMatrixCodes::GunSwitchSet &set, int slot, uchar preset);
    // Sets bit 6 of the fourth option byte; false when the option could
    // not be read (and so was left alone).
    static bool enableEventReports(Hid_Thread &link);

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
    void selectGunSwitchMatrix(Hid_Thread &link) override;
    void writeMatrix(Hid_Thread &link, KeyMatrixCodes::Block matrix, int number) override;
    void writeMacro(Hid_Thread &link, uchar number, MacroBlock::Block block) override;
};
