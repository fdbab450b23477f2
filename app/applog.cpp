#include "applog.h"

Q_LOGGING_CATEGORY(lcApp, "skarn.app", QtInfoMsg)
