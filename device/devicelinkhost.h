#pragma once

// What the device link tells the program around it; both calls come on the
// thread that made the link, in the order they happened.
class DeviceLinkHost
{
public:
    virtual ~DeviceLinkHost() = default;

    // The mouse reported that its DPI button moved it to `stage` (1 to 8).
    virtual void mouseReportedDpiStage(int stage) = 0;
    // The mouse is gone; what was queued for it has been dropped.
    virtual void mouseRemoved() = 0;
};
