#include "sessionlog.h"

Q_LOGGING_CATEGORY(lcSession, "skarn.session", QtInfoMsg)
