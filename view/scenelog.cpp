#include "scenelog.h"

Q_LOGGING_CATEGORY(lcScene, "skarn.scene", QtInfoMsg)
