#pragma once

#include "deviceentry.h"

#include <QString>

class DeviceOperations;
class HidBackend;
class Hid_Thread;

// The device side of a detection pass, run on the link's thread: which
// listed mouse is there and answers, and its connection (event reports on,
// the listener started, the profile blocks read).
namespace Detection {
// Pauses before the identity exchange is tried again, when its reply was
// lost (a device that is still settling after a plug-in).
constexpr int identityRetryPausesMs[] = {100, 200, 400};

struct Result
{
    bool connected = false;
    // A listed mouse this user may not open, when none answered.
    QString deniedPath;
};

// Fills in the interface paths; the last matching interface wins.
void findInterfaces(DeviceTable &table, HidBackend *backend);

// Hands `table` to the link and connects the first listed mouse that
// answers; with `listen`, its event reports are turned on and listened to.
Result run(Hid_Thread &link, DeviceOperations &operations, DeviceTable table, bool listen = true);
} // namespace Detection
