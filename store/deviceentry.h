#pragma once

#include <QList>
#include <QString>

// One row of the device table in apConfig.bin, plus the two interface paths
// that detection found for it.
struct DeviceEntry
{
    int type = -1;
    quint16 vid = 0;
    quint16 pid = 0;
    quint16 usagePage = 0;
    quint16 usage = 0;
    quint16 usagePage2 = 0;
    quint16 usage2 = 0;
    int reportLength = 32;
    bool isEncode = false;
    QString sCode = QStringLiteral("370524");
    QString interfacePath1; // command interface; empty when not found
    QString interfacePath2; // event interface; empty when not found
};

using DeviceTable = QList<DeviceEntry>;
