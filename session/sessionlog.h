#pragma once

#include <QLoggingCategory>

// The session's lines: what the desktop or the mouse did not take. Failure
// lines are warnings and shown by default; routine lines are debug, shown
// with --verbose or QT_LOGGING_RULES="skarn.session.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcSession)
