#pragma once

#include "deviceoperations.h"
#include "hid_thread.h"
#include "virtualmouse.h"

#include <QList>

// A link wired to one virtual mouse: its row matched, pauses recorded, identity fixed.
struct LinkRig
{
    explicit LinkRig(int family, bool isEncode = true, const DeviceVariant &variant = {},
                     int reportLength = 32)
        : operations(DeviceOperations::create(QString::number(family), variant))
    {
        DeviceEntry row = VirtualMouse::factoryRow();
        row.isEncode = isEncode;
        row.reportLength = reportLength;
        mouse = &backend.addMouse(family, row);
        row.interfacePath1 = QStringLiteral("virtual:0:0");
        row.interfacePath2 = QStringLiteral("virtual:0:1");
        link.setDeviceTable({row});
        operations->setLink(&link);
        link.setSleep([this](int ms) { pauses.append(ms); });
        link.setDraw([] { return std::array<uchar, 4>{0x12, 0x34, 0x56, 0x78}; });
    }
    // Confirms the mouse and forgets what that exchange left behind.
    bool confirm()
    {
        const bool ok = link.chkDeviceIsEnCode(0);
        mouse->clearRecord();
        pauses.clear();
        return ok;
    }
    // The data of the output reports, without their report IDs.
    QByteArray written() const
    {
        QByteArray data;
        for (const VirtualMouse::Received &r : mouse->received())
            if (r.channel == VirtualMouse::Channel::Output)
                data += r.bytes.mid(1);
        return data;
    }

    // The family's driver, which also tells the link how to enable events.
    std::unique_ptr<DeviceOperations> operations;
    VirtualMouseBackend backend;
    VirtualMouse *mouse = nullptr;
    Hid_Thread link{&backend};
    QList<int> pauses;
};
