#pragma once

#include <atomic>

// Set while detection has confirmed a mouse; the window may only be brought
// back from the tray while it is set.
namespace DeviceState {
extern std::atomic<bool> deviceConnected;
} // namespace DeviceState
