#include "linkstate.h"

unsigned char secrecyCode[8] = {};

QString dpiSwitchText[dpiSwitchTextCount] = {
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
};
