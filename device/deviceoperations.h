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

// The view's device operations as command sequences: which commands go out,
// with which blocks and in which order. One subclass per controller family
// (a driver) turns them into that family's commands; it is chosen once, from
// the family setting, by create(). The encodings themselves are the pure
// functions beside it. Also holds the image of the five device profiles,
// which the operations without a family test exchange. Without a device
// link nothing is sent and queries answer their starting values.
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

    // The image of device profile n (0 to 4); empty for other numbers.
    QByteArray profileBlock(int n) const;
    // A new device: no block holds its profiles until they are read.
    void forgetDeviceProfiles();
    // Right after connecting: reads the profiles the family keeps here.
    void readDeviceProfiles();

    // Whether the last operation lost something on the way: a command
    // dropped for a busy link or failed at the device, or a profile block
    // not sent because it could not be read.
    bool lastFailed() const { return m_lastFailed; }
    // Operations that failed so, since the view was made: a change of it
    // over several operations (a save, a profile switch) means one failed.
    quint64 failedOperations() const { return m_failedOperations; }

    void clearBusy();
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

    // Block n as device profile n, and back; numbers above 4 do nothing.
    void sendProfile(uint profileNo);
    void readProfile(uint profileNo);
    int currentProfile();

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

    // Reads block n again when it does not hold the device's profile, so
    // that a patch never lands on bytes the device did not give.
    bool ensureDeviceProfile(int n);
    ProfileBlock::Block &block(int n) { return m_blocks[std::size_t(n)]; }
    // Refused (and the operation failed) while block n was never read.
    void sendBlock(int n);
    // Key matrix `number` (1 to 4), when there is a link.
    void sendMatrix(const KeyMatrixCodes::Block &matrix, int number);

private:
    // Marks one operation, so that lastFailed() covers all its commands.
    class Sequence
    {
    public:
        explicit Sequence(DeviceOperations &operations);
        ~Sequence();
        Sequence(const Sequence &) = delete;
        Sequence &operator=(const Sequence &) = delete;

    private:
        DeviceOperations &m_operations;
        bool m_outermost;
    };

    // The family's side, each run inside its operation's sequence. Those
    // given the link are called only when there is one; the others ask
    // link() themselves, since some patch the profile blocks without it.
    virtual Hid_Thread::EventReportSwitch eventReportSwitch() const = 0;
    virtual void doReadDeviceProfiles() {}
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
    std::array<ProfileBlock::Block, ProfileBlock::count> m_blocks{};
    std::array<bool, ProfileBlock::count> m_held{};
    int m_depth = 0;
    quint64 m_failuresAtStart = 0;
    bool m_refused = false;
    bool m_lastFailed = false;
    quint64 m_failedOperations = 0;
};
