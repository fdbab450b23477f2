#include "dpiswitchtext.h"

QString dpiSwitchText[dpiSwitchTextCount] = {
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
};
