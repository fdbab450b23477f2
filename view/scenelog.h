#pragma once

#include <QLoggingCategory>

// The scene's lines, from its host and from its QML (whose LoggingCategory objects carry the same
// name). Connection and failure lines are info or warnings and shown by default; routine lines are
// debug, shown with --verbose or QT_LOGGING_RULES="skarn.scene.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcScene)
