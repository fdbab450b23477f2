#pragma once

#include "keymatrixcodes.h"
#include "profileblock.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>

class Hid_Thread;

// The served controller family and its flags.
struct DeviceVariant
{
    bool family560 = false;
    bool isColorful = false;
    bool isGun = false;
    bool is55328 = false;
};

// The view's device operations as command sequences: which commands go out,
// with which blocks and in which order, for the served controller family
// and its flags. Owns family 560's image of the five device profiles. The
// encodings themselves are the pure functions beside it. Without a device
// link nothing is sent and queries answer their starting values.
class DeviceOperations
{
public:
    explicit DeviceOperations(const DeviceVariant &variant = {}) : m_variant(variant) {}

    void setLink(Hid_Thread *link) { m_link = link; }
    Hid_Thread *link() const { return m_link; }
    const DeviceVariant &variant() const { return m_variant; }

    // The image of device profile n (0 to 4); empty for other numbers.
    QByteArray profileBlock(int n) const;
    // A new device: no block holds its profiles until they are read.
    void forgetDeviceProfiles();

    // Whether the last operation lost something on the way: a command
    // dropped for a busy link or failed at the device, or a profile block
    // not sent because it could not be read.
    bool lastFailed() const { return m_lastFailed; }
    // Operations that failed so, since the view was made: a change of it
    // over several operations (a save, a profile switch) means one failed.
    quint64 failedOperations() const { return m_failedOperations; }

    void clearBusy();
    // Family 560's option has two bytes: byte3 and byte4 are not sent and
    // read back as 0.
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

    // Reads block n again when it does not hold the device's profile, so
    // that a patch never lands on bytes the device did not give.
    bool ensureDeviceProfile(int n);
    // Block 1, and with guns blocks 2 to 4.
    QList<int> gunBlockNumbers() const;
    void sendBlock(int n);
    void sendGunBlocks();
    void sendMatrix(KeyMatrixCodes::Block matrix, int number);

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
