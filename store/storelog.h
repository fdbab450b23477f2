#pragma once

#include <QLoggingCategory>

// The data folder's lines: damaged files and the device table. Connection and failure lines are
// info or warnings and shown by default; routine lines are debug, shown with --verbose or
// QT_LOGGING_RULES="skarn.store.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcStore)
