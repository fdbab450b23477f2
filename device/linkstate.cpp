#include "linkstate.h"

unsigned char secrecyCode[8] = {};

QString dpiSwitchText[8] = {
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
};
