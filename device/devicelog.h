#pragma once

#include <QLoggingCategory>

// The mouse link's lines: exchanges and the event listener. Connection and failure lines are info
// or warnings and shown by default; routine lines are debug, shown with --verbose or
// QT_LOGGING_RULES="skarn.device.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcDevice)
