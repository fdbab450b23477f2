#include "devicelog.h"

Q_LOGGING_CATEGORY(lcDevice, "skarn.device", QtInfoMsg)
