#include "detection.h"

#include "devicelog.h"
#include "deviceoperations.h"
#include "hid_thread.h"
#include "hidbackend.h"

namespace Detection {

namespace {
// The identity exchange with entry `index`, tried again after a lost reply
// while the interface is still there.
bool confirm(Hid_Thread &link, int index)
{
    if (link.chkDeviceIsEnCode(index))
        return true;
    for (int pauseMs : identityRetryPausesMs) {
        // An answer that came but was wrong is not retried, nor a device
        // that is gone (a failed open empties the path).
        if (link.lastExchangeOk() || link.deviceTable().value(index).interfacePath1.isEmpty())
            return false;
        link.pause(pauseMs);
        if (link.chkDeviceIsEnCode(index))
            return true;
    }
    return false;
}

bool isAccessDenied(HidBackend *backend, const DeviceEntry &entry)
{
    return backend &&
           (backend->isAccessDenied(entry.interfacePath1) ||
            (!entry.interfacePath2.isEmpty() && backend->isAccessDenied(entry.interfacePath2)));
}
} // namespace

void findInterfaces(DeviceTable &table, HidBackend *backend)
{
    if (!backend)
        return;
    for (DeviceEntry &entry : table) {
        for (const HidInterfaceInfo &info : backend->enumerate(entry.vid, entry.pid)) {
            if (info.usagePage == entry.usagePage && info.usage == entry.usage)
                entry.interfacePath1 = info.path;
            if (info.usagePage == entry.usagePage2 && info.usage == entry.usage2)
                entry.interfacePath2 = info.path;
        }
    }
}

Result run(Hid_Thread &link, DeviceOperations &operations, DeviceTable table, bool listen)
{
    Result result;
    findInterfaces(table, link.backend());
    link.setDeviceTable(table);
    for (int j = 0; j < table.size(); ++j) {
        if (table.at(j).interfacePath1.isEmpty())
            continue;
        if (confirm(link, j)) {
            qCInfo(lcDevice, "Device Connect");
            // Blocks read from an earlier device say nothing of this one.
            operations.forgetDeviceProfiles();
            if (listen)
                link.startEventListener(uint(j));
            operations.readDeviceProfiles();
            result.connected = true;
            result.deniedPath.clear();
            return result;
        }
        if (result.deniedPath.isEmpty() && isAccessDenied(link.backend(), table.at(j)))
            result.deniedPath = table.at(j).interfacePath1;
    }
    return result;
}

} // namespace Detection
