#pragma once

#include "deviceentry.h"

#include <QString>

// The device table in the global settings: section common holds the count,
// section <i> the row of device i.
class DeviceTableFile
{
public:
    // More rows than this in a damaged table are ignored, so a huge count
    // cannot stall detection.
    static constexpr int maxDevices = 256;

    // The table of `path`; a missing file or count gives none. Interface
    // paths are left empty.
    static DeviceTable read(const QString &path);
    // Whether the table of `path` can no longer be read as one: its count is
    // missing or not a number, or it counts rows of which none names a
    // device (vendor and product id). A count of 0 is a table, if empty.
    static bool isDamaged(const QString &path);
    // The table detection serves: the global settings' own, or the factory
    // copy's when the own one is damaged and the factory one is not, which
    // `fromFactory` then tells.
    static DeviceTable load(const QString &root, bool *fromFactory = nullptr);
};
