#pragma once

#include <QLoggingCategory>

// The program's own lines: start-up, detection, tray and captures. Connection and failure lines are
// info or warnings and shown by default; routine lines are debug, shown with --verbose or
// QT_LOGGING_RULES="skarn.app.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcApp)
