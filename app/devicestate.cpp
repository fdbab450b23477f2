#include "devicestate.h"

namespace DeviceState {
std::atomic<bool> deviceConnected{false};
} // namespace DeviceState
