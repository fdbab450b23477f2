#pragma once

#include "hid_thread.h"
#include "keymatrixcodes.h"
#include "macroblock.h"
#include "profileblock.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <memory>

// Flags that select variants within a controller family.
struct DeviceVariant
{
    bool isColorful = false;
    bool isGun = false;
    bool is55328 = false;
};

// The device operations as command sequences: which commands go out, with
// which blocks and in which order. One subclass per controller family (a
// driver) turns them into that family's commands; it is chosen once, from the
// family setting, by create(). The encodings themselves are the pure
// functions beside it. They run where the link's commands run (the link's
// own thread). Without a device link nothing is sent and queries answer
// their starting values.
class DeviceOperations
{
public:
    // The driver of family `icType`: "560", or 553 for any other text.
    static std::unique_ptr<DeviceOperations> create(const QString &icType,
                                                    const DeviceVariant &variant = {});
    virtual ~DeviceOperations();
    DeviceOperations(const DeviceOperations &) = delete;
    DeviceOperations &operator=(const DeviceOperations &) = delete;

    // Also tells the link how this family enables its event reports and
    // whether it sends per-profile commands to the gun profiles.
    void setLink(Hid_Thread *link);
    Hid_Thread *link() const { return m_link; }
    const DeviceVariant &variant() const { return m_variant; }

    // Families that keep profile blocks in the mouse (560): the image of
    // device profile n (0 to 4), empty for other numbers or families.
    virtual QByteArray profileBlock(int n) const;
    // A new device: no block holds its profiles until they are read.
    virtual void forgetDeviceProfiles() {}
    // Right after connecting: reads the profiles the family keeps here.
    virtual void readDeviceProfiles() {}
    // Puts the mouse on the device profile the program works on, where the
    // family has several; false when the mouse did not say which it is on.
    virtual bool selectWorkingProfile() { return true; }

    // What went wrong so far: commands that did not go through whole and
    // sends refused here (a profile block that could not be read, a macro
    // block without its end). A change of it over a request means that the
    // request lost something on the way.
    quint64 failures() const;

    // A family whose option is shorter ignores the bytes it does not have
    // and reads them back as 0.
    void setKeyboardOption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    std::array<uchar, 4> keyboardOption();
    void setReportRate(uchar rate);
    void setCurrentDpi(uchar stage);
    // The current DPI stage, 1 to 8; 0 when the mouse gave none.
    int currentDpi();
    // `indexNo` counts from 1.
    void switchKeyMatrix(int indexNo);

    // Block n as device profile n, and back; numbers above 4, and families
    // without profile blocks, do nothing.
    virtual void sendProfile(uint profileNo) { Q_UNUSED(profileNo) }
    virtual void readProfile(uint profileNo) { Q_UNUSED(profileNo) }
    // The device profile the mouse is on; 0 when it did not say.
    virtual int currentProfile() { return 0; }

    void setDpi(int dpiCount, const QString &sensorType, const QList<int> &dpiValues);
    void setLighting(uchar effect, uchar option1, uchar option2);
    void setStageColours(uchar type, const QList<int> &src24);
    // Only on devices with guns, and only for slots 1 to 3.
    void sendGunData(int slot, const QList<int> &gunValues);

    // `firmware` is the profile's firmware table (16 records), used when a
    // button switches gun presets.
    void sendKeyMatrix(const QList<int> &src64, const QList<int> &firmware,
                       const QList<int> &otherParam);
    // The firmware table as key matrices 2, 3 and 4.
    void resetKeyMatrices(const QList<int> &firmware);
    void sendMacro(const QList<int> &macroData, uint slot);

protected:
    explicit DeviceOperations(const DeviceVariant &variant) : m_variant(variant) {}

    // A send refused here counts as a failure of the request.
    void refuse() { ++m_refusals; }
    // Key matrix `number` (1 to 4), when there is a link.
    void sendMatrix(const KeyMatrixCodes::Block &matrix, int number);

private:
    // The family's side. Those given the link are called only when there is
    // one; the others ask link() themselves, since some patch the profile
    // blocks without it.
    virtual Hid_Thread::EventReportSwitch eventReportSwitch() const = 0;
    virtual void writeKeyboardOption(Hid_Thread &link, const std::array<uchar, 4> &option) = 0;
    virtual void readKeyboardOption(Hid_Thread &link, std::array<uchar, 4> &option) = 0;
    virtual void writeReportRate(Hid_Thread &link, uchar rate) = 0;
    virtual void writeCurrentDpi(Hid_Thread &link, uchar stage) = 0;
    virtual uchar readCurrentDpi(Hid_Thread &link) = 0;
    virtual void writeCurrentKeyMatrix(Hid_Thread &link, int indexNo) = 0;
    virtual void writeDpi(int dpiCount, const QString &sensorType, const QList<int> &dpiValues) = 0;
    virtual void writeLighting(uchar effect, uchar option1, uchar option2) = 0;
    virtual void writeStageColours(uchar type, const LightingCodes::StageColours &colours) = 0;
    // `slot` is 1 to 3 on a device with guns.
    virtual void writeGunData(int slot, const QList<int> &gunValues) = 0;
    // A key table with a gun switch: the family's sniper key entry, how it
    // links the presets, where it keeps the switch besides the matrices and
    // which matrix it then makes current.
    virtual KeyMatrixCodes::Entry sniperKeyEntry() const = 0;
    virtual KeyMatrixCodes::GunSwitchLinks gunSwitchLinks() const = 0;
    virtual void storeGunSwitch(const KeyMatrixCodes::GunSwitchSet &) {}
    virtual void selectGunSwitchMatrix(Hid_Thread &link) = 0;
    virtual void writeMatrix(Hid_Thread &link, KeyMatrixCodes::Block matrix, int number) = 0;
    virtual void writeMacro(Hid_Thread &link, uchar number, MacroBlock::Block block) = 0;

    Hid_Thread *m_link = nullptr;
    DeviceVariant m_variant;
    quint64 m_refusals = 0;
};
